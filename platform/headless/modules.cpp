// Loaded modules: which shared object holds an address, and its file path.
#include "state.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace platform {
namespace {

struct Search {
  std::uintptr_t base = 0;
  bool found = false;
  bool mainProgram = false;
  std::string name;
};

// The address where an object's first segment is mapped, which is the
// module handle that moduleContaining reports for it.
std::uintptr_t mapStart(const dl_phdr_info& info) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  for (int i = 0; i < info.dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info.dlpi_phdr[i];
    if (header.p_type == PT_LOAD) return (info.dlpi_addr + header.p_vaddr) & ~(page - 1);
  }
  return 0;
}

int visit(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  if (mapStart(*info) != search->base) return 0;
  search->found = true;
  search->name = info->dlpi_name != nullptr ? info->dlpi_name : "";
  search->mainProgram = search->name.empty();
  return 1;
}

std::string executablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string absolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

} // namespace

ModuleHandle moduleContaining(const void* address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
    return nullptr;
  }
  return static_cast<ModuleHandle>(info.dli_fbase);
}

std::uint32_t moduleFileName(ModuleHandle module, char* buffer, std::uint32_t size) {
  std::string path;
  if (module == nullptr) {
    path = executablePath();  // no module: the program itself
  } else {
    Search search;
    search.base = reinterpret_cast<std::uintptr_t>(module);
    dl_iterate_phdr(visit, &search);
    if (search.found) path = search.mainProgram ? executablePath() : absolutePath(search.name);
  }
  if (buffer == nullptr || size == 0) return 0;
  return static_cast<std::uint32_t>(headless::detail::copyTerminated(path, buffer, size));
}

} // namespace platform
