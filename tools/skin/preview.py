#!/usr/bin/python3
"""Composes the skin the way the program shows it, one PNG per window or page,
under build/skin-preview/: background, button faces at their places, the
labels painted with the label texture and their colours, list-view frames.
Reads only the committed files of res/skin/, so it shows what the build uses."""

import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SKIN = os.path.join(ROOT, "res", "skin")
OUT = os.path.join(ROOT, "build", "skin-preview")
LABEL_FONT = ImageFont.truetype("/usr/share/fonts/truetype/nanum/NanumGothic.ttf", 12)

GREY, GREEN, RED = (0x89, 0x7F, 0x81), (0x25, 0xC2, 0x25), (0xCC, 0x66, 0x66)


def bmp(bid):
    return Image.open(os.path.join(SKIN, "%d.bmp" % bid)).convert("RGB")


def label(img, x, y, w, h, text, colour=GREY):
    tile = bmp(131)
    for ty in range(y, y + h, tile.size[1]):
        for tx in range(x, x + w, tile.size[0]):
            img.paste(tile.crop((0, 0, min(tile.size[0], x + w - tx), min(tile.size[1], y + h - ty))), (tx, ty))
    ImageDraw.Draw(img).text((x, y), text, font=LABEL_FONT, fill=colour)


def checkbox(img, x, y, text, checked):
    label(img, x, y, 200, 13, "", GREY)
    d = ImageDraw.Draw(img)
    d.rectangle([x, y, x + 12, y + 12], fill="white", outline=(100, 100, 100))
    if checked:
        d.line([(x + 3, y + 6), (x + 5, y + 9), (x + 10, y + 3)], fill="black", width=2)
    d.text((x + 17, y), text, font=LABEL_FONT, fill="black")


def listview(img, x, y, w, h, columns, rows=()):
    d = ImageDraw.Draw(img)
    d.rectangle([x, y, x + w - 1, y + h - 1], fill="white", outline=(130, 135, 144))
    d.rectangle([x + 1, y + 1, x + w - 2, y + 20], fill=(240, 240, 240))
    strip = Image.open(os.path.join(SKIN, "155.bmp")).convert("RGB")
    box = strip.crop((16, 0, 32, 16))
    mask = Image.eval(box, lambda v: v).convert("RGB")
    cx = x + 4
    for name, cw in columns:
        if cw == 0:
            continue
        tx = cx
        if cx == x + 4:
            paste_box(img, strip, 1, cx, y + 3)
            tx += 18
        d.text((tx, y + 4), name, font=LABEL_FONT, fill="black")
        cx += cw
        d.line([(cx - 4, y + 1), (cx - 4, y + 20)], fill=(200, 200, 200))
    for i, (checked, text) in enumerate(rows):
        ry = y + 22 + i * 17
        paste_box(img, strip, 2 if checked else 1, x + 4, ry)
        d.text((x + 22, ry + 2), text, font=LABEL_FONT, fill="black")
        d.line([(x + 1, ry + 16), (x + w - 2, ry + 16)], fill=(230, 230, 230))


def paste_box(img, strip, index, x, y):
    part = strip.crop((index * 16, 0, index * 16 + 16, 16))
    mask = part.point(lambda v: 255).convert("L")
    px = part.load()
    m = mask.load()
    for yy in range(16):
        for xx in range(16):
            m[xx, yy] = 0 if px[xx, yy] == (255, 0, 255) else 255
    img.paste(part, (x, y), mask)


def button(img, bid, x, y):
    img.paste(bmp(bid), (x, y))


def main_window(page_bmp):
    img = Image.new("RGB", (700, 500))
    img.paste(bmp(129), (0, 0))
    img.paste(bmp(page_bmp), (0, 84))
    button(img, 132, 670, 10)
    for bid, x in ((135, 354), (137, 439), (139, 509), (141, 579), (143, 627)):
        button(img, bid, x, 50)
    return img


TOOL_TABS = ((171, 276), (174, 339), (177, 412), (180, 485), (183, 555), (186, 608))


def tools_tabs(img, hover=None, pressed=None):
    faces = {171: (173, 172), 174: (175, 176), 177: (179, 178), 180: (181, 182), 183: (184, 185), 186: (187, 188)}
    for bid, x in TOOL_TABS:
        face = bid
        if bid == hover:
            face = faces[bid][1]
        if bid == pressed:
            face = faces[bid][0]
        button(img, face, x, 188)


def info():
    img = main_window(130)
    texts = ["사용자 이름 : user", "메모리 크기 : 2048 MB", "윈도우 버전 : Windows 10", "시스템 경로 : C:\\windows\\system32"]
    for i, y in enumerate((158, 178, 198, 218)):
        label(img, 116, y, 300, 13, texts[i])
    label(img, 116, 284, 300, 13, "DB버전 : 2008.05.01.1", GREEN)
    label(img, 116, 302, 300, 13, "마지막 DB 업데이트 일자 :2008-05-01", RED)
    label(img, 116, 322, 300, 13, "검사가 한번도 실행되지 않았습니다.")
    label(img, 116, 392, 300, 13, "개발 : Torvane 보안 연구소")
    label(img, 116, 410, 300, 13, "문의 : support@torvane.example")
    label(img, 116, 430, 260, 13, "홈페이지 : http://www.torvane.example/")
    # hover face of the first tab, pressed face of the second, to compare
    button(img, 136, 354, 50)
    button(img, 211, 439, 50)
    return img


def scan():
    img = main_window(145)
    button(img, 153, 157, 122)
    label(img, 104, 150, 180, 13, "진행정보 : 대기상태")
    label(img, 104, 170, 180, 13, "검사종류 : 기본검사")
    label(img, 300, 150, 150, 13, "검사시간 : 00:00:00")
    label(img, 300, 170, 150, 13, "검사개수 : 000 / 120000")
    label(img, 104, 190, 180, 13, "검사항목 : 대기상태")
    label(img, 162, 190, 510, 13, "C:\\windows\\system32\\kernel32.dll")
    listview(img, 28, 216, 651, 235, [("진단명", 160), ("위치", 370), ("종류", 100)],
             [(True, "Trojan.Test   C:\\temp\\a.exe"), (False, "Adware.Demo   C:\\temp\\b.dll")])
    button(img, 146, 488, 465)
    button(img, 149, 555, 465)   # hover
    button(img, 209, 624, 465)   # pressed
    return img


def tools(page_bmp, labels, buttons, columns, hover=None):
    img = main_window(page_bmp)
    tools_tabs(img, hover=hover)
    for x, y, w, text in labels:
        label(img, x, y, w, 13, text)
    if columns:
        listview(img, 28, 216, 651, 235, columns, [(True, "C:\\Documents and Settings\\temp\\x.tmp")])
    for bid, x, y in buttons:
        button(img, bid, x, y)
    return img


def options():
    img = main_window(215)
    tools_tabs(img)
    label(img, 104, 150, 500, 13, "아래 선택하고자 하는 항목을 클릭하시면 환경설정 값이 바로 적용됩니다.")
    boxes = [(60, 250, "프로그램 및 DB 자동 업데이트", False), (60, 280, "윈도우 실행시 자동실행", True),
             (60, 310, "검사 후 자동치료", False), (60, 340, "메뉴 선택시 자동 검사", False),
             (60, 370, "실시간 파일 / 시작 프로그램 감시", True), (60, 400, "악성코드 검사위치 직접 설정하기", False),
             (300, 250, "실시간 메세지 알림 시스템", True), (300, 280, "최적화 검색 확장자 설정", True)]
    for x, y, t, c in boxes:
        checkbox(img, x, y, t, c)
    return img


def about():
    img = bmp(162)
    button(img, 163, 420, 268)
    button(img, 132, 470, 10)
    return img


def alert():
    img = bmp(220)
    label(img, 60, 130, 276, 13, "Time : 2008-05-01 12:34:56")
    label(img, 60, 160, 276, 13, "Object : C:\\temp\\bad.exe", (137, 127, 129))
    label(img, 60, 190, 276, 13, "Name : Trojan.Test", (204, 102, 102))
    button(img, 227, 180, 270)
    button(img, 190, 247, 270)
    button(img, 230, 314, 270)
    button(img, 132, 370, 10)
    return img


def trust():
    img = bmp(217)
    listview(img, 28, 127, 442, 227, [("이름", 350)], [(False, "C:\\Program Files\\tool\\ok.exe")])
    button(img, 132, 470, 10)
    button(img, 169, 362, 370)
    button(img, 163, 417, 366)
    button(img, 224, 306, 101)
    button(img, 221, 379, 101)
    return img


def notice():
    img = bmp(236)
    img.paste(bmp(235), (270, 10))
    d = ImageDraw.Draw(img)
    f = ImageFont.truetype("/usr/share/fonts/truetype/nanum/NanumGothic.ttf", 12)
    d.multiline_text((38, 90), "새 버전의 엔진이 배포되었습니다.\n지금 업데이트하세요.", font=f, fill=(0, 0, 255))
    return img


def faces():
    """Every face of every button on one sheet, three columns: normal, pressed, hover."""
    sys_path = os.path.join(HERE)
    import sys
    sys.path.insert(0, sys_path)
    import skin as table
    rows = [r for r in table.SKIN if r[2] == "button"]
    sheet = Image.new("RGB", (3 * 200 + 20, len(rows) * 34 + 10), (255, 255, 255))
    d = ImageDraw.Draw(sheet)
    for i, r in enumerate(rows):
        ids = r[0] if isinstance(r[0], tuple) else (r[0],)
        for j, bid in enumerate(ids):
            sheet.paste(bmp(bid), (10 + j * 200, 5 + i * 34))
            d.text((10 + j * 200 + bmp(bid).size[0] + 4, 5 + i * 34), str(bid), font=LABEL_FONT, fill="black")
    return sheet


def icon():
    """The icon's images, each at its size and the small ones also enlarged 4 times."""
    import io
    import struct
    data = open(os.path.join(SKIN, "torvane.ico"), "rb").read()
    count = struct.unpack("<HHH", data[:6])[2]
    sheet = Image.new("RGB", (720, 280), (236, 236, 236))
    x = 10
    for i in range(count):
        w, _, _, _, _, _, size, off = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w = w or 256
        blob = data[off:off + size]
        if blob[:4] == b"\x89PNG":
            im = Image.open(io.BytesIO(blob)).convert("RGBA")
        else:
            im = Image.frombytes("RGBA", (w, w), blob[40:40 + w * w * 4], "raw", "BGRA", 0, -1)
        sheet.paste(im, (x, 10), im)
        if w <= 48:
            big = im.resize((w * 4, w * 4), Image.NEAREST)
            sheet.paste(big, (x, 70), big)
            x += w * 4 + 10
        else:
            x += w + 10
    return sheet


def main():
    os.makedirs(OUT, exist_ok=True)
    tab_labels = [(104, 150, 100, "검색위치 : "), (162, 150, 500, "대기상태"), (104, 170, 100, "검사항목 : "),
                  (162, 170, 300, "대기상태"), (104, 190, 150, "검사개수 : 0")]
    shots = {
        "info": info(),
        "scan": scan(),
        "tweak": tools(166, tab_labels, [(167, 488, 465), (148, 555, 465), (169, 624, 465)],
                       [("위치", 620)], hover=174),
        "activex": tools(189, [(104, 150, 300, "현재 120개 중 3개가 차단 상태입니다.")],
                         [(190, 555, 465), (193, 624, 465)], [("이름", 220), ("CLSID", 280), ("상태", 100)]),
        "process": tools(196, [(104, 150, 300, "현재 실행 중인 프로세스 : 32")], [(197, 572, 460)],
                         [("이름", 500), ("상태", 100)]),
        "startup": tools(200, [(104, 150, 300, "현재 등록된 시작 프로그램 : 4")], [(169, 624, 465)],
                         [("이름", 150), ("위치", 350), ("상태", 100)]),
        "bho": tools(201, [(104, 150, 300, "현재 설치된 IE 플러그인 : 2")], [(202, 555, 465), (169, 624, 465)],
                     [("이름", 600)]),
        "options": options(),
        "about": about(),
        "alert": alert(),
        "trust": trust(),
        "notice": notice(),
        "faces": faces(),
        "icon": icon(),
    }
    for name, img in shots.items():
        img.save(os.path.join(OUT, name + ".png"))
    print("previews in", os.path.relpath(OUT, ROOT))


if __name__ == "__main__":
    main()
