// The texts a scan and a remedy show, exactly as the user sees them, so that
// the window and the console scanner say the same words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scan::texts {

inline constexpr const char* kProgressDatabase = "진행정보 : DB 파일 검사 중";
inline constexpr const char* kProgressProcesses = "진행정보 : 프로세스 검사 중";
inline constexpr const char* kProgressFullScan = "진행정보 : 시스템 정밀 검사 중";
inline constexpr const char* kProgressIdle = "진행정보 : 대기상태";
inline constexpr const char* kItemIdle = "검사항목 : 대기상태";
inline constexpr const char* kCountIdle = "검사개수 : 0";
inline constexpr const char* kElapsedIdle = "검사시간 : 00:00:00";
inline constexpr const char* kScanTypeFull = "검사종류 : 정밀검사";
inline constexpr const char* kScanTypeQuick = "검사종류 : 기본검사";
inline constexpr const char* kScanTypeQuickAgain = "Select scan options : quick scan";
inline constexpr const char* kRemedyDone = "악성코드 치료를 완료 하였습니다.";

// "검사개수 : 3 / 12"
std::string definitionCount(int i, int n);
// "검사개수 : 42"
std::string examinedCount(int64_t n);
// "검사시간 : 00:01:05"
std::string elapsedLabel(std::string_view elapsed);
// Hours, minutes and seconds, two digits each: "%02d:%02d:%02d".
std::string elapsedText(int64_t seconds);
// The closing message of a scan that found `count` rows (0 included).
std::string scanFinished(size_t count, std::string_view elapsed);
// The closing message of a remedy; a second line counts what stayed.
std::string remedyFinished(size_t notRemoved);
// "검사개수 : 000 / " + the database's count text.
std::string remedyCount(std::string_view definitionCountText);
// "2008.07.10, 16:10:30"
std::string scanDate(int year, int month, int day, int hour, int minute, int second);

}  // namespace scan::texts
