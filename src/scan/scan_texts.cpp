#include "scan/scan_texts.h"

#include <cstdio>

namespace scan::texts {

std::string definitionCount(int i, int n) {
  return "검사개수 : " + std::to_string(i) + " / " + std::to_string(n);
}

std::string examinedCount(int64_t n) { return "검사개수 : " + std::to_string(n); }

std::string elapsedLabel(std::string_view elapsed) { return "검사시간 : " + std::string(elapsed); }

std::string elapsedText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld",
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return buffer;
}

std::string scanFinished(size_t count, std::string_view elapsed) {
  if (count == 0)
    return "악성코드 검사를 완료 하였습니다.  \n\n검사결과 : 악성코드 검사 결과 악성코드가 "
           "발견되지 않았습니다. \n\n검사시간 : " +
           std::string(elapsed);
  return "악성코드 검사를 완료 하였습니다.  \n\n검사결과 : " + std::to_string(count) +
         " 개의 악성코드가 발견 되었습니다. \n\n검사시간 : " + std::string(elapsed);
}

std::string remedyFinished(size_t notRemoved) {
  std::string message = kRemedyDone;
  if (notRemoved > 0) message += "\n\n치료하지 못한 항목 : " + std::to_string(notRemoved) + " 개";
  return message;
}

std::string remedyCount(std::string_view definitionCountText) {
  return "검사개수 : 000 / " + std::string(definitionCountText);
}

std::string scanDate(int year, int month, int day, int hour, int minute, int second) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d, %02d:%02d:%02d", year, month, day, hour,
                minute, second);
  return buffer;
}

}  // namespace scan::texts
