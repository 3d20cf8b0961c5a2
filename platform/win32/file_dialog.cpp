// The common file-open dialog.
#include "win32_backend.h"

#include <commdlg.h>

#include <vector>

namespace platform {

bool getOpenFileName(const OpenFileRequest& request, char* path, std::size_t pathSize) {
  if (path == nullptr || pathSize == 0) return false;
  // The dialog writes into a buffer of its own, long enough for any path;
  // the caller gets what fits of it.
  std::vector<char> chosen(32768, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = request.filter != nullptr && *request.filter != '\0' ? request.filter : nullptr;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = chosen.data();
  ofn.nMaxFile = static_cast<DWORD>(chosen.size());
  ofn.lpstrTitle = request.title != nullptr && *request.title != '\0' ? request.title : nullptr;
  ofn.lpstrDefExt =
      request.defaultExtension != nullptr && *request.defaultExtension != '\0' ? request.defaultExtension : nullptr;
  ofn.lpstrInitialDir =
      request.initialDirectory != nullptr && *request.initialDirectory != '\0' ? request.initialDirectory : nullptr;
  ofn.Flags = request.flags;
  if (GetOpenFileNameA(&ofn) == 0) return false;
  win32::copyTerminated(chosen.data(), path, pathSize);
  return true;
}

} // namespace platform
