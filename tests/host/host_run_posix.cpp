// Running varnex-host and reading its pictures on systems with fork and
// exec, and with libpng.
#include "host_run.h"

#include <png.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace host_test {

HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& folder) {
  const std::string outPath = (folder / "stdout.txt").string();
  const std::string errPath = (folder / "stderr.txt").string();
  std::vector<std::string> argv{VX_HOST_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (auto& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    // Only async-signal-safe calls until exec.
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::chdir(folder.c_str()) != 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  HostRun run;
  if (child < 0) return run;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.out = readWhole(outPath);
  run.err = readWhole(errPath);
  return run;
}

Picture readPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  const bool colour = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
  image.format = colour ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  picture.channels = colour ? 3 : 1;
  picture.samples.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, picture.samples.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return {};
  }
  return picture;
}

} // namespace host_test
