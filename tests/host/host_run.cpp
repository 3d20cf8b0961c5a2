#include "host_run.h"

#include <png.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace host_test {
namespace {

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string testName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "suite";
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

} // namespace

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
  run.out = slurp(outPath);
  run.err = slurp(errPath);
  return run;
}

ScratchFolder::ScratchFolder() : ScratchFolder(testName()) {}

ScratchFolder::ScratchFolder(const std::string& name) {
  // A unique suffix: the same test may run in two processes at once (its
  // own and the suite's one-process run), and each needs its own folder.
  std::filesystem::create_directories(VX_HOST_SCRATCH);
  std::string pattern = (std::filesystem::path(VX_HOST_SCRATCH) / (name + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder like " + pattern);
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  if (!keep_ && !::testing::Test::HasFailure()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  } else {
    std::fprintf(stderr, "files kept in %s\n", path_.c_str());
  }
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

std::vector<std::string> writtenFiles(const std::string& out) {
  std::vector<std::string> files;
  std::istringstream lines(out);
  const std::string marker = "  wrote ";
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(marker, 0) == 0) files.push_back(line.substr(marker.size()));
  return files;
}

} // namespace host_test
