#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "common/text.h"
#include "platform/win32/unique_handle.h"

namespace win32 {
namespace {

std::string imagePathOf(DWORD id) {
  unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process) return {};
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &size)) {
      buffer.resize(size);
      return text::narrow(buffer);
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    buffer.resize(buffer.size() * 4);
  }
  return {};
}

}  // namespace

bool Win32Processes::snapshot(bool withImagePaths, std::vector<platform::ProcessInfo>* out) {
  unique_file snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return false;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  std::vector<platform::ProcessInfo> list;
  for (BOOL more = Process32FirstW(snap.get(), &entry); more;
       more = Process32NextW(snap.get(), &entry)) {
    platform::ProcessInfo info;
    info.id = entry.th32ProcessID;
    info.exeName = text::narrow(entry.szExeFile);
    if (withImagePaths) info.imagePath = imagePathOf(entry.th32ProcessID);
    list.push_back(std::move(info));
  }
  *out = std::move(list);
  return true;
}

bool Win32Processes::terminate(uint32_t id, uint32_t waitMs) {
  // Only the rights the work needs, so that more processes can be ended than
  // with a request for every right.
  unique_handle process(
      OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
  if (!process) return false;
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  if (!TerminateProcess(process.get(), code)) return false;
  if (waitMs > 0) WaitForSingleObject(process.get(), waitMs);
  return true;
}

bool Win32Processes::runHidden(const std::string& program, const std::string& parameters,
                               uint32_t waitMs) {
  const std::wstring file = text::widen(program);
  const std::wstring args = text::widen(parameters);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = args.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return false;
  unique_handle process(info.hProcess);
  if (process && waitMs > 0) WaitForSingleObject(process.get(), waitMs);
  return true;
}

}  // namespace win32
