// The rules of the update check that need no network: version numbers, the
// server's answer, which file names may be written, and whether a download
// arrived whole and may replace the file it is for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace update {

inline constexpr const char* kAnswerFile = "check.ini";
inline constexpr const char* kAnswerPath = "/update/check.php";
inline constexpr const char* kDatabasePath = "/update/torvane.ini";
inline constexpr const char* kKillbitPath = "/update/torvane_killbit.ini";
inline constexpr const char* kKillbitFile = "torvane_killbit.ini";
inline constexpr const char* kSignatureSuffix = ".sig";

inline constexpr const char* kAskMessage = "새로운 버전이 발견되었습니다. 업데이트 하시겠습니까?";
inline constexpr const char* kUpToDateMessage = "현재 사용하는 버전이 최신 버전입니다.";
inline constexpr const char* kDoneMessage = "업데이트가 완료 되었습니다.";
// Shown by the interactive check when the answer or the program it names
// cannot be trusted (nothing is started then).
inline constexpr const char* kRefusedMessage =
    "업데이트 파일을 확인할 수 없습니다. 서명 또는 파일이 올바르지 않아 업데이트를 중단합니다.";

// The version number text of a "Version" value: the text after its first
// "(" (the whole text when there is none) with every ")" removed.
std::string versionNumberText(std::string_view versionText);
int versionNumber(std::string_view versionNumberText);
bool isUpdateAvailable(int local, int server);

// The server's answer ("check.ini").
struct UpdateAnswer {
  int serverVersion = 0;
  std::string url;
  std::string name;
  std::string sha256;  // upper-case hex digits of the update program, as signed
};
UpdateAnswer parseUpdateAnswer(std::string text);

// A name the update program may be stored under in the program folder: a
// plain file name, no folder, "." or "..", drive, stream, wildcard, control
// character or device name (CON, NUL, COM1, ...: also with an extension).
bool isSafeFileName(std::string_view name);

// A finished HTTP download as the client saw it.
struct Download {
  bool transportOk = false;  // the request completed without a network error
  int status = 0;
  std::optional<uint64_t> contentLength;
  bool cutShort = false;  // fewer bytes than the declared length, or the size limit reached
  bool connected = false;  // a connection to the server was made
  uint32_t error = 0;      // the platform's error code of a failed request
  std::string body;
};
// Status 200, body complete by the declared length and not empty.
bool isCompleteDownload(const Download& download);
// A definition database whose text holds its version and its counts.
bool isUsableDatabase(std::string text);
// An ActiveX list whose text holds its count.
bool isUsableKillbitList(std::string text);

// Upper-case hex of bytes.
std::string hexUpper(std::string_view bytes);
// 128 hex digits (an optional line end after them) to the 64 bytes r || s.
std::optional<std::string> parseSignatureText(std::string_view text);

}  // namespace update
