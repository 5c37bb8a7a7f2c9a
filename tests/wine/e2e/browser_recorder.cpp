// Stands in for the web browser in the end-to-end tests: registered as the program that opens
// http addresses, it appends the command line it was started with to a file next to itself
// (recorder.exe writes recorder.txt) and ends. Nothing is opened and nothing leaves the machine.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return 1;
  }
  std::string record = path;
  const std::size_t dot = record.find_last_of('.');
  record = record.substr(0, dot == std::string::npos ? record.size() : dot) + ".txt";

  // Exactly as Windows passed it, so that the test sees stray quotes and blanks too.
  const std::string line = std::string(GetCommandLineA()) + "\r\n";
  const HANDLE file = CreateFileA(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 1;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == line.size() ? 0 : 1;
}
