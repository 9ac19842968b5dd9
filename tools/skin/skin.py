#!/usr/bin/python3
"""Draws every bitmap of torvane.exe and writes them to res/skin/.

The whole skin is the one table SKIN below: each row names the resource
id(s), the size in pixels, the kind of picture and its Korean text, plus the
few details that kind needs. Everything else in this file only knows how to
draw a kind. Output is byte-for-byte reproducible: fixed font files, no
randomness, no timestamps.

Coordinates of the main window are client pixels of the 700 x 500 window;
page backgrounds are drawn in those coordinates and cut at y = 84, where the
window copies them.
"""

import os
import struct
import sys
from io import BytesIO

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
OUT = os.path.join(ROOT, "res", "skin")

FONT_DIR = "/usr/share/fonts/truetype/nanum"
FONT_REGULAR = os.path.join(FONT_DIR, "NanumBarunGothic.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "NanumBarunGothicBold.ttf")
FONT_BRAND = os.path.join(FONT_DIR, "NanumSquareB.ttf")

# ---------------------------------------------------------------- palette
NAVY_TOP = (9, 33, 74)
NAVY_BOTTOM = (17, 63, 130)
ACCENT = (30, 111, 217)
ACCENT_HOVER = (64, 143, 240)
ACCENT_DOWN = (18, 78, 160)
ACCENT_LIGHT = (226, 237, 252)
CYAN = (56, 182, 255)
BODY = (238, 242, 247)          # page background
PANEL = (255, 255, 255)         # behind every label; bitmap 131 is this colour
BORDER = (207, 216, 229)
TEXT_DARK = (22, 38, 66)
TEXT_MUTED = (112, 122, 140)
TAB_FACE = (228, 234, 243)
TAB_HOVER = (211, 224, 242)
DANGER = (206, 64, 60)
DANGER_HOVER = (229, 92, 86)
DANGER_DOWN = (160, 44, 42)
WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)

HEADER_H = 85
PAGE_TOP = 84
BAND_H = 36                     # title band of the small windows

# ------------------------------------------------------------- the table
# (ids, (width, height), kind, text, details)
#   ids: one id, or (normal, pressed, hover) for a button's three faces
#   details: for buttons the style and where the face sits (surface, x, y),
#            so the face's corners match the picture behind it.
MAIN = "main"  # the main window: header 129 over a page background

SKIN = [
    # Main window surfaces
    (129, (700, 85), "header", "Torvane AntiVirus 2008",
     {"tagline": "악성코드 검사 · 실시간 감시 · 시스템 최적화"}),
    (131, (8, 8), "texture", "", {}),
    (130, (700, 416), "page", "기본정보",
     {"layout": "info", "tab": 1011, "subtitle": "시스템과 악성코드 데이터베이스의 상태입니다."}),
    (145, (700, 416), "page", "악성코드 검사",
     {"layout": "scan", "tab": 1012, "subtitle": "검사 종류를 고른 뒤 검사하기를 누르세요."}),
    (166, (700, 416), "page", "윈도우 최적화",
     {"layout": "tools", "tool": 1042, "subtitle": "불필요한 파일과 사용 흔적을 찾아 정리합니다."}),
    (189, (700, 416), "page", "ActiveX 차단",
     {"layout": "tools", "tool": 1043, "subtitle": "알려진 유해 ActiveX 컨트롤을 차단하거나 해제합니다.",
      "note": "목록의 항목을 클릭하면 차단 상태가 바뀝니다."}),
    (196, (700, 416), "page", "프로세스 관리",
     {"layout": "tools", "tool": 1044, "subtitle": "실행 중인 프로세스를 확인하고 종료합니다.",
      "note": "종료할 프로세스를 선택한 뒤 프로세스 종료를 누르세요."}),
    (200, (700, 416), "page", "시작 프로그램 관리",
     {"layout": "tools", "tool": 1045, "subtitle": "윈도우와 함께 시작되는 프로그램을 관리합니다.",
      "note": "삭제할 항목을 선택한 뒤 삭제하기를 누르세요."}),
    (201, (700, 416), "page", "BHO 관리",
     {"layout": "tools", "tool": 1046, "subtitle": "인터넷 익스플로러 플러그인(BHO)을 끄거나 복구합니다.",
      "note": "끌 항목을 선택한 뒤 삭제하기를 누르세요. 복구하기는 모두 되살립니다."}),
    (215, (700, 416), "page", "사용자 설정",
     {"layout": "options", "tool": 1047, "subtitle": "프로그램의 동작 방식을 설정합니다.",
      "note": "설정은 따로 저장할 필요 없이 곧바로 반영됩니다."}),

    # Main window buttons: header
    ((132, 133, 134), (17, 16), "button", "×", {"style": "close", "at": (MAIN, 670, 10)}),
    ((135, 210, 136), (83, 28), "button", "기본정보", {"style": "tab", "control": 1011, "at": (MAIN, 354, 50)}),
    ((137, 211, 138), (68, 28), "button", "검사", {"style": "tab", "control": 1012, "at": (MAIN, 439, 50)}),
    ((139, 212, 140), (68, 28), "button", "업데이트", {"style": "tab", "control": 1013, "at": (MAIN, 509, 50)}),
    ((141, 213, 142), (46, 28), "button", "도구", {"style": "tab", "control": 1014, "at": (MAIN, 579, 50)}),
    ((143, 214, 144), (57, 28), "button", "도움말", {"style": "tab", "control": 1015, "at": (MAIN, 627, 50)}),
    # scan page
    ((146, 208, 147), (50, 16), "button", "검사하기", {"style": "primary", "at": (MAIN, 488, 465)}),
    ((148, 207, 149), (50, 16), "button", "정지하기", {"style": "secondary", "at": (MAIN, 555, 465)}),
    (150, (50, 16), "button", "정지하기", {"style": "disabled", "at": (MAIN, 555, 465)}),  # spare, unused
    ((151, 209, 152), (50, 16), "button", "치료하기", {"style": "primary", "at": (MAIN, 624, 465)}),
    ((153, 154, 154), (184, 16), "button", "검사종류", {"style": "dropdown", "at": (MAIN, 157, 122)}),
    # optimisation, start-up, BHO pages
    ((167, 206, 168), (50, 16), "button", "검색하기", {"style": "primary", "at": (MAIN, 488, 465)}),
    ((169, 205, 170), (50, 16), "button", "삭제하기", {"style": "danger", "at": (MAIN, 624, 465)}),
    # tools tabs
    ((171, 173, 172), (60, 27), "button", "윈도우 최적화", {"style": "tooltab", "control": 1042, "at": (MAIN, 276, 188)}),
    ((174, 175, 176), (71, 27), "button", "ActiveX", {"style": "tooltab", "control": 1043, "at": (MAIN, 339, 188)}),
    ((177, 179, 178), (71, 27), "button", "프로세스", {"style": "tooltab", "control": 1044, "at": (MAIN, 412, 188)}),
    ((180, 181, 182), (68, 27), "button", "시작 프로그램 관리", {"style": "tooltab", "control": 1045, "at": (MAIN, 485, 188)}),
    ((183, 184, 185), (51, 27), "button", "BHO", {"style": "tooltab", "control": 1046, "at": (MAIN, 555, 188)}),
    ((186, 187, 188), (66, 27), "button", "사용자 설정", {"style": "tooltab", "control": 1047, "at": (MAIN, 608, 188)}),
    # ActiveX, process, BHO pages (190-192 also serve the alert window's Block)
    ((190, 192, 191), (50, 16), "button", "차단하기", {"style": "danger", "at": (MAIN, 555, 465)}),
    ((193, 194, 195), (50, 16), "button", "해제하기", {"style": "primary", "at": (MAIN, 624, 465)}),
    ((197, 198, 199), (90, 24), "button", "프로세스 종료", {"style": "danger", "at": (MAIN, 572, 460)}),
    ((202, 203, 204), (50, 16), "button", "복구하기", {"style": "primary", "at": (MAIN, 555, 465)}),

    # Check-box strip of the list views: blank, empty box, checked box
    (155, (48, 16), "checkstrip", "", {}),

    # Program-information window
    (162, (500, 300), "about", "프로그램 정보",
     {"version": "버전 2008", "blog": "http://blog.torvane.example/",
      "credits": [("개발", "Torvane 보안 연구소"), ("문의", "support@torvane.example")]}),
    ((163, 218, 165), (54, 24), "button", "확인", {"style": "primary", "at": (162, 420, 268)}),
    (164, (54, 24), "button", "확인", {"style": "disabled", "at": (162, 420, 268)}),  # spare, unused

    # Server-notice pop-up
    (236, (300, 225), "notice", "Torvane 알림", {"heading": "새로운 소식이 도착했습니다",
                                               "hint": "클릭하면 자세한 내용을 볼 수 있습니다."}),
    (235, (17, 16), "button", "×", {"style": "close", "at": (236, 270, 10), "face": "normal"}),

    # Real-time alert window
    (220, (400, 300), "alert", "실시간 감시 경고",
     {"heading": "의심스러운 항목이 발견되었습니다",
      "subtitle": "실시간 감시가 아래 항목의 실행 또는 등록을 막았습니다.",
      "question": "이 항목을 어떻게 처리하시겠습니까?"}),
    ((227, 228, 229), (50, 16), "button", "신뢰", {"style": "secondary", "at": (220, 180, 270)}),
    ((230, 232, 231), (50, 16), "button", "허용", {"style": "primary", "at": (220, 314, 270)}),

    # Trusted-zone manager
    (217, (500, 400), "trust", "실시간 감시 신뢰영역 관리",
     {"heading": "신뢰영역",
      "subtitle": "신뢰영역에 추가된 항목은 실시간 감시에서 제외됩니다.",
      "hint": "제외를 그만둘 항목을 선택한 뒤 삭제하기를 누르세요."}),
    ((224, 225, 226), (71, 23), "button", "파일감시", {"style": "tooltab", "at": (217, 306, 101)}),
    ((221, 222, 223), (84, 23), "button", "시작 프로그램 감시", {"style": "tooltab", "at": (217, 379, 101)}),
]

# Positions of the main window's controls that the page pictures keep clean.
def _tabs(style):
    """Control id -> (x, width) of the main window's tabs of one style, from the table."""
    return {r[4]["control"]: (r[4]["at"][1], r[1][0]) for r in SKIN
            if r[2] == "button" and r[4]["style"] == style and r[4]["at"][0] == MAIN}


MAIN_TABS = _tabs("tab")
TOOL_TABS = _tabs("tooltab")
TOOL_TAB_Y, TOOL_TAB_H = 188, 27
LIST_RECT = (28, 216, 28 + 651, 216 + 235)
INFO_GROUPS = [  # heading, first label y, last label bottom, glyph
    ("시스템 정보", 158, 231, "monitor"),
    ("데이터베이스", 284, 335, "database"),
    ("제작 정보", 392, 443, "person"),
]
OPTION_BOXES_RECT = (40, 226, 660, 430)


# ------------------------------------------------------------- helpers
_fonts = {}


def font(size, weight="regular"):
    path = {"regular": FONT_REGULAR, "bold": FONT_BOLD, "brand": FONT_BRAND}[weight]
    key = (path, size)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(path, size)
    return _fonts[key]


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def navy_at(y):
    """The header's colour at row y; the title bands of the small windows use
    the same rows, so the one close button blends on all of them."""
    return mix(NAVY_TOP, NAVY_BOTTOM, min(y, HEADER_H - 1) / (HEADER_H - 1))


def navy_band(img, height):
    d = ImageDraw.Draw(img)
    for y in range(height):
        d.line([(0, y), (img.size[0] - 1, y)], fill=navy_at(y))


SS = 4  # supersampling factor for shapes


def smooth_shape(img, draw_fn):
    """Draws antialiased shapes: draw_fn(draw, scale) paints on a transparent
    layer SS times larger, which is reduced and laid over img."""
    w, h = img.size
    layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer), SS)
    layer = layer.resize((w, h), Image.BOX)
    base = img.convert("RGBA")
    base.alpha_composite(layer)
    img.paste(base.convert("RGB"))


def rounded(img, box, radius, fill, outline=None, width=1):
    def paint(d, s):
        x0, y0, x1, y1 = box
        d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius * s,
                            fill=fill, outline=outline, width=width * s)
    smooth_shape(img, paint)


def text_width(txt, f):
    return f.getlength(txt)


def draw_text(img, xy, txt, size, colour, weight="regular", anchor="la"):
    ImageDraw.Draw(img).text(xy, txt, font=font(size, weight), fill=colour, anchor=anchor)


def fit_lines(txt, w, h, sizes=(11, 10, 9)):
    """Chooses a font size and a line split so txt fits w x h: one line if
    possible, else two lines broken at the most balanced space."""
    for size in sizes:
        if text_width(txt, font(size)) <= w and size <= h:
            return size, [txt]
    words = txt.split(" ")
    for size in sizes[1:] or sizes:  # two lines read better a size smaller
        best = None
        for i in range(1, len(words)):
            lines = [" ".join(words[:i]), " ".join(words[i:])]
            widest = max(text_width(l, font(size)) for l in lines)
            if widest <= w and 2 * size + 1 <= h and (best is None or widest <= best[0]):
                best = (widest, lines)
        if best:
            return size, best[1]
    return sizes[-1], [txt]


def centred_text(img, box, txt, colour, sizes=(11, 10, 9), weight="regular", dy=0):
    x0, y0, x1, y1 = box
    size, lines = fit_lines(txt, x1 - x0 - 4, y1 - y0, sizes)
    line_h = size + 1
    top = (y0 + y1) / 2 - line_h * len(lines) / 2 + line_h / 2
    for i, line in enumerate(lines):
        draw_text(img, ((x0 + x1) / 2, round(top + i * line_h) + dy), line, size, colour,
                  weight, anchor="mm")


# ------------------------------------------------------------- glyphs
def shield(d, cx, cy, size, s, body=ACCENT, inner=WHITE, check=ACCENT, width=0.82, weight=0.1):
    """A shield with a check mark, centred at (cx, cy), size pixels high,
    on a draw of scale s."""
    w = size * width
    top, bottom = cy - size / 2, cy + size / 2
    pts = [(cx, top), (cx + w / 2, top + size * 0.16), (cx + w / 2, top + size * 0.45),
           (cx + w * 0.36, top + size * 0.72), (cx, bottom), (cx - w * 0.36, top + size * 0.72),
           (cx - w / 2, top + size * 0.45), (cx - w / 2, top + size * 0.16)]
    d.polygon([(x * s, y * s) for x, y in pts], fill=body)
    k = 0.78 if inner != body else 1.0
    inner_pts = [(cx + (x - cx) * k, cy + (y - cy) * k + size * 0.01) for x, y in pts]
    d.polygon([(x * s, y * s) for x, y in inner_pts], fill=inner)
    lw = max(1.0, size * weight)
    mark = [(cx - size * 0.17, cy + size * 0.01), (cx - size * 0.03, cy + size * 0.15),
            (cx + size * 0.2, cy - size * 0.13)]
    d.line([(x * s, y * s) for x, y in mark], fill=check, width=round(lw * s), joint="curve")


def glyph(img, kind, box, colour=ACCENT):
    """Small line pictograms for the information groups and tools pages."""
    x0, y0, x1, y1 = box

    def paint(d, s):
        def r(*p):
            return [v * s for v in p]
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        w = 2 * s
        d.ellipse(r(x0, y0, x1, y1), fill=ACCENT_LIGHT)
        if kind == "monitor":
            d.rounded_rectangle(r(cx - 10, cy - 8, cx + 10, cy + 5), 2 * s, outline=colour, width=w)
            d.line(r(cx - 5, cy + 9, cx + 5, cy + 9), fill=colour, width=w)
            d.line(r(cx, cy + 5, cx, cy + 9), fill=colour, width=w)
        elif kind == "database":
            for yy in (cy - 7, cy - 1, cy + 5):
                d.arc(r(cx - 9, yy - 3, cx + 9, yy + 3), 0, 180, fill=colour, width=w)
            d.ellipse(r(cx - 9, cy - 10, cx + 9, cy - 4), outline=colour, width=w)
            d.line(r(cx - 9, cy - 7, cx - 9, cy + 5), fill=colour, width=w)
            d.line(r(cx + 9, cy - 7, cx + 9, cy + 5), fill=colour, width=w)
        elif kind == "person":
            d.ellipse(r(cx - 4, cy - 10, cx + 4, cy - 2), outline=colour, width=w)
            d.arc(r(cx - 9, cy, cx + 9, cy + 18), 180, 360, fill=colour, width=w)
        elif kind == "shield":
            shield(d, cx, cy, 24, s, body=colour, inner=ACCENT_LIGHT, check=colour)
        elif kind == "broom":
            d.line(r(cx + 7, cy - 9, cx - 1, cy + 2), fill=colour, width=w)
            d.polygon(r(cx - 3, cy, cx + 2, cy + 4, cx - 3, cy + 10, cx - 10, cy + 6), fill=colour)
        elif kind == "block":
            d.ellipse(r(cx - 9, cy - 9, cx + 9, cy + 9), outline=colour, width=w)
            d.line(r(cx - 6, cy + 6, cx + 6, cy - 6), fill=colour, width=w)
        elif kind == "list":
            for i in range(3):
                yy = cy - 6 + i * 6
                d.rectangle(r(cx - 9, yy - 1, cx - 6, yy + 2), fill=colour)
                d.line(r(cx - 3, yy, cx + 9, yy), fill=colour, width=w)
        elif kind == "rocket":
            d.polygon(r(cx, cy - 10, cx + 5, cy - 2, cx + 5, cy + 6, cx - 5, cy + 6, cx - 5, cy - 2),
                      outline=colour, width=w)
            d.line(r(cx - 8, cy + 9, cx - 5, cy + 3), fill=colour, width=w)
            d.line(r(cx + 8, cy + 9, cx + 5, cy + 3), fill=colour, width=w)
        elif kind == "plug":
            d.rounded_rectangle(r(cx - 7, cy - 4, cx + 7, cy + 6), 2 * s, outline=colour, width=w)
            d.line(r(cx - 3, cy - 10, cx - 3, cy - 4), fill=colour, width=w)
            d.line(r(cx + 3, cy - 10, cx + 3, cy - 4), fill=colour, width=w)
            d.line(r(cx, cy + 6, cx, cy + 11), fill=colour, width=w)
        elif kind == "gear":
            d.ellipse(r(cx - 8, cy - 8, cx + 8, cy + 8), outline=colour, width=w)
            d.ellipse(r(cx - 3, cy - 3, cx + 3, cy + 3), fill=colour)
            for dx, dy in ((0, -1), (0, 1), (-1, 0), (1, 0)):
                d.line(r(cx + dx * 8, cy + dy * 8, cx + dx * 11, cy + dy * 11), fill=colour, width=w + s)
        elif kind == "warning":
            d.polygon(r(cx, cy - 11, cx + 12, cy + 9, cx - 12, cy + 9), fill=(235, 150, 40))
            d.line(r(cx, cy - 4, cx, cy + 3), fill=WHITE, width=w + s // 2)
            d.ellipse(r(cx - 1.5, cy + 5, cx + 1.5, cy + 8), fill=WHITE)
    smooth_shape(img, paint)


# ------------------------------------------------------------- surfaces
def title_band(img, title, with_logo=True):
    """The deep blue band of the small windows; matches the header's top rows
    so the shared close button blends on every window."""
    w = img.size[0]
    navy_band(img, BAND_H)
    x = 14
    if with_logo:
        smooth_shape(img, lambda d, s: shield(d, 22, BAND_H / 2, 20, s, body=CYAN, inner=NAVY_TOP,
                                              check=WHITE))
        x = 40
    draw_text(img, (x, BAND_H / 2), title, 13, WHITE, "bold", anchor="lm")
    ImageDraw.Draw(img).line([(0, BAND_H), (w, BAND_H)], fill=ACCENT)


def header(size, text, details):
    img = Image.new("RGB", size)
    navy_band(img, size[1])
    smooth_shape(img, lambda d, s: shield(d, 42, 40, 50, s, body=CYAN, inner=NAVY_TOP, check=WHITE))
    draw_text(img, (78, 19), "Torvane", 24, WHITE, "brand")
    tw = text_width("Torvane ", font(24, "brand"))
    draw_text(img, (78 + tw, 19), "AntiVirus 2008", 24, (168, 214, 255), "brand")
    draw_text(img, (80, 52), details["tagline"], 11, (170, 195, 230))
    return img


def page_canvas():
    """A 700 x 500 canvas in window coordinates; the page is its lower part."""
    img = Image.new("RGB", (700, 500), BODY)
    return img


def cut_page(img):
    return img.crop((0, PAGE_TOP, 700, 500))


def active_tab_strip(img, tab):
    """A thin strip at the top of the page, bright under the main tab whose page this is."""
    d = ImageDraw.Draw(img)
    d.rectangle([0, PAGE_TOP, 699, PAGE_TOP + 2], fill=ACCENT)
    x, w = MAIN_TABS[tab]
    d.rectangle([x, PAGE_TOP, x + w - 1, PAGE_TOP + 3], fill=CYAN)


def page_title(img, title, subtitle):
    d = ImageDraw.Draw(img)
    d.rectangle([28, 93, 31, 110], fill=ACCENT)
    draw_text(img, (40, 101), title, 16, TEXT_DARK, "bold", anchor="lm")
    tw = text_width(title, font(16, "bold"))
    draw_text(img, (40 + tw + 12, 102), subtitle, 11, TEXT_MUTED, anchor="lm")


def panel(img, box, radius=4):
    rounded(img, box, radius, PANEL, outline=BORDER)


def list_frame(img):
    x0, y0, x1, y1 = LIST_RECT
    ImageDraw.Draw(img).rectangle([x0 - 1, y0 - 1, x1, y1], outline=BORDER)


def page(size, title, details):
    img = page_canvas()
    layout = details["layout"]
    tab = details.get("tab", 1014)
    active_tab_strip(img, tab)
    page_title(img, title, details["subtitle"])
    if layout == "info":
        info_layout(img)
    elif layout == "scan":
        scan_layout(img)
    else:
        tools_layout(img, details)
    return cut_page(img)


def info_layout(img):
    for heading, first, last, kind in INFO_GROUPS:
        top = first - 28
        panel(img, (40, top, 660, last + 10))
        glyph(img, kind, (56, top + 22, 92, top + 58))
        draw_text(img, (112, top + 7), heading, 12, TEXT_DARK, "bold")
        ImageDraw.Draw(img).line([(112, top + 23), (640, top + 23)], fill=BORDER)
    draw_text(img, (660, 478), "Torvane AntiVirus 2008", 10, TEXT_MUTED, anchor="rm")


def scan_layout(img):
    draw_text(img, (104, 130), "검사 방식", 11, TEXT_DARK, "bold", anchor="lm")
    panel(img, (28, 144, 680, 212))
    glyph(img, "shield", (42, 160, 82, 200))
    list_frame(img)
    draw_text(img, (28, 473), "치료할 항목에 체크한 뒤 치료하기를 누르세요.", 11, TEXT_MUTED, anchor="lm")


def tools_layout(img, details):
    d = ImageDraw.Draw(img)
    panel(img, (28, 144, 680, TOOL_TAB_Y + TOOL_TAB_H + 3), radius=4)
    # the panel's lower edge is covered by the list (or the option group)
    d.rectangle([29, TOOL_TAB_Y + 12, 678, TOOL_TAB_Y + TOOL_TAB_H], fill=PANEL)
    kind = {1042: "broom", 1043: "block", 1044: "list", 1045: "rocket", 1046: "plug",
            1047: "gear"}[details["tool"]]
    glyph(img, kind, (42, 150, 82, 190))
    # the active tools tab gets a bar above it
    x, w = TOOL_TABS[details["tool"]]
    d.rectangle([x, TOOL_TAB_Y - 3, x + w - 1, TOOL_TAB_Y - 1], fill=ACCENT)
    d.line([(28, TOOL_TAB_Y + TOOL_TAB_H), (679, TOOL_TAB_Y + TOOL_TAB_H)], fill=BORDER)
    if "note" in details and details["layout"] != "options":
        draw_text(img, (104, 170), details["note"], 11, TEXT_MUTED)
    if details["layout"] == "options":
        draw_text(img, (104, 170), details["note"], 11, TEXT_MUTED)
        x0, y0, x1, y1 = OPTION_BOXES_RECT
        panel(img, OPTION_BOXES_RECT)
        d = ImageDraw.Draw(img)
        d.line([(300 - 20, y0 + 16), (300 - 20, y1 - 16)], fill=BORDER)
        draw_text(img, (60, y0 + 8), "검사와 업데이트", 11, ACCENT, "bold")
        draw_text(img, (300, y0 + 8), "알림과 최적화", 11, ACCENT, "bold")
        draw_text(img, (520, y1 - 24), "Torvane AntiVirus 2008", 10, TEXT_MUTED, anchor="lm")
    else:
        list_frame(img)


def texture(size, text, details):
    return Image.new("RGB", size, PANEL)


def about(size, title, details):
    img = Image.new("RGB", size, BODY)
    title_band(img, title)
    w, h = size
    panel(img, (20, 48, w - 20, 250))
    smooth_shape(img, lambda d, s: shield(d, 64, 84, 52, s))
    draw_text(img, (108, 62), "Torvane", 22, TEXT_DARK, "brand")
    tw = text_width("Torvane ", font(22, "brand"))
    draw_text(img, (108 + tw, 62), "AntiVirus 2008", 22, ACCENT, "brand")
    draw_text(img, (110, 93), details["version"], 12, TEXT_MUTED)
    d = ImageDraw.Draw(img)
    d.line([(40, 122), (w - 40, 122)], fill=BORDER)
    y = 132
    for label, value in details["credits"] + [("블로그", None)]:
        draw_text(img, (118, y + 5), label, 10, TEXT_DARK, "bold", anchor="rm")
        if value is not None:
            draw_text(img, (126, y + 5), value, 10, TEXT_MUTED, anchor="lm")
        y += 18
    # the link area (126,168)-(255,178)
    draw_text(img, (126, 173), details["blog"], 9, ACCENT, anchor="lm")
    d.line([(126, 178), (126 + round(text_width(details["blog"], font(9))), 178)], fill=ACCENT)
    draw_text(img, (40, 230), "Copyright © 2008 Torvane. All rights reserved.", 9, TEXT_MUTED,
              anchor="lm")
    return img


def notice(size, title, details):
    img = Image.new("RGB", size, BODY)
    title_band(img, title)
    w, h = size
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=NAVY_BOTTOM)
    glyph(img, "shield", (22, 44, 46, 68))
    draw_text(img, (54, 56), details["heading"], 12, TEXT_DARK, "bold", anchor="lm")
    panel(img, (22, 72, 280, 198))
    draw_text(img, (w / 2, 211), details["hint"], 10, TEXT_MUTED, anchor="mm")
    return img


def alert(size, title, details):
    img = Image.new("RGB", size, BODY)
    title_band(img, title)
    w, h = size
    glyph(img, "warning", (30, 50, 66, 86))
    draw_text(img, (78, 60), details["heading"], 14, DANGER, "bold", anchor="lm")
    draw_text(img, (78, 81), details["subtitle"], 11, TEXT_MUTED, anchor="lm")
    panel(img, (40, 116, 360, 216))
    draw_text(img, (40, 240), details["question"], 11, TEXT_DARK, anchor="lm")
    ImageDraw.Draw(img).rectangle([0, 0, w - 1, h - 1], outline=NAVY_BOTTOM)
    return img


def trust(size, title, details):
    img = Image.new("RGB", size, BODY)
    title_band(img, title)
    w, h = size
    glyph(img, "shield", (28, 50, 64, 86))
    draw_text(img, (76, 60), details["heading"], 14, TEXT_DARK, "bold", anchor="lm")
    draw_text(img, (76, 80), details["subtitle"], 11, TEXT_MUTED, anchor="lm")
    d = ImageDraw.Draw(img)
    d.rectangle([27, 126, 470, 354], outline=BORDER)
    d.rectangle([306, 98, 462, 100], fill=ACCENT)
    draw_text(img, (28, 378), details["hint"], 10, TEXT_MUTED, anchor="lm")
    d.rectangle([0, 0, w - 1, h - 1], outline=NAVY_BOTTOM)
    return img


# ------------------------------------------------------------- buttons
FACES = ("normal", "pressed", "hover")


def button_face(size, text, style, state, behind):
    """One face of a skinned button drawn over the picture behind it."""
    img = behind.copy()
    w, h = size
    box = (0, 0, w, h)
    dy = 1 if state == "pressed" else 0
    if style == "close":
        fill = {"normal": None, "hover": (224, 72, 66), "pressed": (170, 40, 38)}[state]
        if fill:
            rounded(img, box, 3, fill)
        colour = WHITE if state != "normal" else (200, 220, 245)

        def cross(d, s):
            m = 5
            lw = round(1.6 * s)
            d.line([(m * s, (m - 1 + dy) * s), ((w - m) * s, (h - m - 1 + dy) * s)], fill=colour, width=lw)
            d.line([(m * s, (h - m - 1 + dy) * s), ((w - m) * s, (m - 1 + dy) * s)], fill=colour, width=lw)
        smooth_shape(img, cross)
        return img
    if style == "tab":
        if state == "normal":
            colour = (205, 222, 245)
        elif state == "hover":
            rounded(img, (0, 0, w, h + 4), 5, (255, 255, 255, 38))
            colour = WHITE
        else:
            rounded(img, (0, 0, w, h + 4), 5, ACCENT)
            colour = WHITE
        if state != "normal":
            ImageDraw.Draw(img).rectangle([4, h - 3, w - 5, h - 1], fill=CYAN)
        centred_text(img, box, text, colour, sizes=(13, 12, 11), weight="bold", dy=dy - 1)
        return img
    if style == "tooltab":
        fill = {"normal": TAB_FACE, "hover": TAB_HOVER, "pressed": ACCENT}[state]
        rounded(img, (0, 0, w, h + 4), 4, fill)
        colour = WHITE if state == "pressed" else (TEXT_DARK if state == "normal" else ACCENT_DOWN)
        centred_text(img, (0, 1, w, h), text, colour, sizes=(11, 10, 9), dy=dy)
        return img
    if style == "dropdown":
        fill = {"normal": PANEL, "hover": ACCENT_LIGHT, "pressed": (205, 222, 247)}[state]
        edge = {"normal": BORDER, "hover": ACCENT, "pressed": ACCENT_DOWN}[state]
        rounded(img, box, 3, fill, outline=edge)
        draw_text(img, (8, h / 2 + dy), text, 11, TEXT_DARK, anchor="lm")
        tx, ty = w - 12, h / 2 + dy

        def arrow(d, s):
            d.polygon([((tx - 4) * s, (ty - 2) * s), ((tx + 4) * s, (ty - 2) * s), (tx * s, (ty + 3) * s)],
                      fill=edge if state != "normal" else ACCENT)
        smooth_shape(img, arrow)
        return img
    palette = {
        "primary": {"normal": (ACCENT, ACCENT_DOWN, WHITE), "hover": (ACCENT_HOVER, ACCENT, WHITE),
                    "pressed": (ACCENT_DOWN, ACCENT_DOWN, (220, 232, 250))},
        "danger": {"normal": (DANGER, DANGER_DOWN, WHITE), "hover": (DANGER_HOVER, DANGER, WHITE),
                   "pressed": (DANGER_DOWN, DANGER_DOWN, (250, 225, 225))},
        "secondary": {"normal": (PANEL, ACCENT, ACCENT_DOWN), "hover": (ACCENT_LIGHT, ACCENT, ACCENT_DOWN),
                      "pressed": ((205, 222, 247), ACCENT_DOWN, ACCENT_DOWN)},
        "disabled": {"normal": ((222, 226, 232), (200, 205, 214), (150, 156, 168))},
    }[style]
    fill, edge, colour = palette.get(state, palette["normal"])
    rounded(img, box, 3, fill, outline=edge)
    sizes = (12, 11) if h >= 22 else (11, 10)
    centred_text(img, box, text, colour, sizes=sizes, weight="bold" if h >= 22 else "regular", dy=dy)
    return img


# ------------------------------------------------------------- check boxes
def checkstrip(size, text, details):
    """48 x 16, 8 bits per pixel: image 0 blank, 1 empty box, 2 checked box.
    Everything outside the boxes is magenta (transparent); the boxes have hard
    outer edges so no pink fringe appears on the list."""
    img = Image.new("RGB", size, MAGENTA)
    d = ImageDraw.Draw(img)
    for i in (1, 2):
        x = i * 16
        d.rectangle([x + 1, 1, x + 13, 13], fill=WHITE, outline=(120, 134, 156))
        if i == 2:
            d.rectangle([x + 1, 1, x + 13, 13], fill=ACCENT, outline=ACCENT_DOWN)
            inner = Image.new("RGB", (11, 11), ACCENT)

            def tick(dd, s):
                dd.line([(2 * s, 5.5 * s), (4.5 * s, 8 * s), (9 * s, 2.5 * s)], fill=WHITE,
                        width=round(1.8 * s), joint="curve")
            smooth_shape(inner, tick)
            img.paste(inner, (x + 2, 2))
    return to_palette(img)


def to_palette(img):
    """An exact palette image: magenta first, then the other colours in order
    of first appearance (deterministic, no dithering)."""
    colours = [MAGENTA]
    for c in img.getdata():
        if c not in colours:
            colours.append(c)
    if len(colours) > 256:
        sys.exit("check-box strip has more than 256 colours")
    index = {c: i for i, c in enumerate(colours)}
    out = Image.new("P", img.size)
    out.putdata([index[c] for c in img.getdata()])
    flat = [v for c in colours for v in c] + [0] * (3 * (256 - len(colours)))
    out.putpalette(flat)
    return out


# ------------------------------------------------------------- icon
def icon_image(px):
    img = Image.new("RGBA", (px, px), (0, 0, 0, 0))
    big = Image.new("RGBA", (px * SS, px * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    small = px <= 16
    size = px * (1.0 if small else 0.96)
    c = px / 2
    # an outer navy shield with a thin cyan edge, a solid blue core with a
    # white check; the check is bolder at small sizes so it stays legible
    shield(d, c, c, size, SS, body=NAVY_BOTTOM, inner=NAVY_BOTTOM, check=NAVY_BOTTOM, width=0.92)
    if not small:
        shield(d, c, c + size * 0.02, size * 0.84, SS, body=CYAN, inner=CYAN, check=CYAN, width=0.92)
    shield(d, c, c + size * 0.03, size * (0.8 if small else 0.74), SS, body=ACCENT, inner=ACCENT, check=WHITE, width=0.92,
           weight=0.2 if small else 0.14)
    img = big.resize((px, px), Image.LANCZOS if px >= 48 else Image.BOX)
    return img


def ico_entry_dib(img):
    """A 32-bit BGRA DIB icon image with its AND mask."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    px = img.load()
    for y in range(h - 1, -1, -1):
        rows.append(b"".join(struct.pack("BBBB", px[x, y][2], px[x, y][1], px[x, y][0], px[x, y][3])
                             for x in range(w)))
    mask_stride = ((w + 31) // 32) * 4
    mask = []
    for y in range(h - 1, -1, -1):
        bits = 0
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(row))
    return header + b"".join(rows) + b"".join(mask)


def ico_entry_png(img):
    buf = BytesIO()
    img.save(buf, "PNG", optimize=False)
    return buf.getvalue()


def write_icon(path):
    entries = []
    for px in (16, 32, 48, 256):
        img = icon_image(px)
        data = ico_entry_png(img) if px == 256 else ico_entry_dib(img)
        entries.append((px, data))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for px, data in entries:
        dim = 0 if px == 256 else px
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in entries)
    with open(path, "wb") as f:
        f.write(out)


# ------------------------------------------------------------- driver
KINDS = {"header": header, "page": page, "texture": texture, "about": about,
         "notice": notice, "alert": alert, "trust": trust, "checkstrip": checkstrip}


class Skin:
    """Renders the table; surfaces are kept so button faces can be cut from them."""

    def __init__(self):
        self.rows = {}
        for row in SKIN:
            ids = row[0] if isinstance(row[0], tuple) else (row[0],)
            for i in dict.fromkeys(ids):
                if i in self.rows:
                    sys.exit("bitmap id %d appears twice in the table" % i)
                self.rows[i] = row
        self.images = {}

    def surface(self, name):
        if name == MAIN:
            img = Image.new("RGB", (700, 500))
            img.paste(self.render(145), (0, PAGE_TOP))
            img.paste(self.render(129), (0, 0))
            return img
        return self.render(name)

    def behind(self, at, size):
        name, x, y = at
        return self.surface(name).crop((x, y, x + size[0], y + size[1]))

    def render(self, bid):
        if bid in self.images:
            return self.images[bid]
        ids, size, kind, text, details = self.rows[bid]
        if kind == "button":
            behind = self.behind(details["at"], size)
            if isinstance(ids, tuple):
                for face, i in zip(FACES, ids):
                    if i not in self.images:
                        self.images[i] = button_face(size, text, details["style"], face, behind)
            else:
                self.images[bid] = button_face(size, text, details["style"],
                                               details.get("face", "normal"), behind)
        else:
            self.images[bid] = KINDS[kind](size, text, details)
        img = self.images[bid]
        if img.size != tuple(size):
            sys.exit("bitmap %d is %r, the table says %r" % (bid, img.size, size))
        return img

    def all_ids(self):
        return sorted(self.rows)


def main():
    os.makedirs(OUT, exist_ok=True)
    skin = Skin()
    for bid in skin.all_ids():
        img = skin.render(bid)
        img.save(os.path.join(OUT, "%d.bmp" % bid), "BMP")
    write_icon(os.path.join(OUT, "torvane.ico"))
    print("wrote %d bitmaps and torvane.ico to %s" % (len(skin.all_ids()), os.path.relpath(OUT, ROOT)))


if __name__ == "__main__":
    main()
