#include "support/run_vorna.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vorna_test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorna-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool file_exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

namespace {

std::vector<std::string> child_environment(const Environment& environment) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (strncasecmp(*entry, "FORT36=", 7) == 0) continue;
    entries.emplace_back(*entry);
  }
  for (const auto& [name, value] : environment) entries.push_back(name + "=" + value);
  return entries;
}

}  // namespace

VornaProcess::VornaProcess(const std::string& directory, const Environment& environment) {
  RunOptions options;
  options.environment = environment;
  start(directory, options);
}

VornaProcess::VornaProcess(const std::string& directory, const RunOptions& options) {
  start(directory, options);
}

namespace {

bool become_nobody() {
  return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 &&
         getuid() == 65534;
}

}  // namespace

bool unprivileged_runs_possible() {
  if (geteuid() != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) _exit(become_nobody() && access(VORNA_BINARY, X_OK) == 0 ? 0 : 1);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void VornaProcess::start(const std::string& directory, const RunOptions& options) {
  static int sequence = 0;
  const std::string stem =
      directory + "/../.vorna-run-" + std::to_string(getpid()) + "-" + std::to_string(sequence++);
  out_path_ = options.output_file.empty() ? stem + ".out" : options.output_file;
  remove_output_ = options.output_file.empty();
  err_path_ = options.error_file.empty() ? stem + ".err" : options.error_file;
  remove_error_ = options.error_file.empty();
  std::vector<std::string> entries = child_environment(options.environment);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  const bool piped = options.input == RunOptions::Input::kPipe;
  int pipe_ends[2] = {-1, -1};
  if (piped && pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ == 0) {
    if (piped) {
      dup2(pipe_ends[0], STDIN_FILENO);
      close(pipe_ends[0]);
      close(pipe_ends[1]);
    } else if (options.input == RunOptions::Input::kDevNull) {
      int null = open("/dev/null", O_RDONLY);
      dup2(null, STDIN_FILENO);
      close(null);
    } else if (options.input == RunOptions::Input::kDirectory ||
               options.input == RunOptions::Input::kFile) {
      const bool file = options.input == RunOptions::Input::kFile;
      int opened = open(file ? options.input_file.c_str() : directory.c_str(),
                        file ? O_RDONLY : O_RDONLY | O_DIRECTORY);
      dup2(opened, STDIN_FILENO);
      close(opened);
    } else {
      close(STDIN_FILENO);
    }
    int out = open(out_path_.c_str(),
                   O_WRONLY | O_CREAT | (options.append_output ? O_APPEND : O_TRUNC), 0644);
    int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | (remove_error_ ? O_TRUNC : 0), 0644);
    dup2(out, STDOUT_FILENO);
    dup2(options.merge_error_into_output ? out : err, STDERR_FILENO);
    close(out);
    close(err);
    if (options.close_output) close(STDOUT_FILENO);
    closefrom(3);  // nothing of the test's (or of ctest's) reaches the program
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int ignored : options.ignored_signals) ::signal(ignored, SIG_IGN);
    if (options.nonblocking) {
      for (int fd : {STDIN_FILENO, STDOUT_FILENO})
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    if (options.unprivileged && !become_nobody()) _exit(126);
    // After the change of user, so that a process limit binds the program.
    for (const auto& [resource, value] : options.limits) {
      const rlimit limit{value, value};
      if (setrlimit(resource, &limit) != 0) _exit(125);
    }
    if (chdir(directory.c_str()) != 0) _exit(127);
    for (const std::string& name : options.descend) {
      if (chdir(name.c_str()) != 0) _exit(127);
    }
    std::vector<char*> argv = {const_cast<char*>(VORNA_BINARY)};
    for (const std::string& argument : options.arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execve(VORNA_BINARY, argv.data(), envp.data());
    _exit(127);
  }
  if (piped) {
    close(pipe_ends[0]);
    input_ = pipe_ends[1];
  }
}

VornaProcess::~VornaProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    wait();
  }
  close_input();
  if (remove_output_) unlink(out_path_.c_str());
  if (remove_error_) unlink(err_path_.c_str());
}

void VornaProcess::send(const std::string& bytes) {
  if (input_ < 0) return;
  // The program may end before it reads its answers (--help, a failed
  // question): the write then fails with EPIPE instead of killing the test.
  ::signal(SIGPIPE, SIG_IGN);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = write(input_, bytes.data() + done, bytes.size() - done);
    if (wrote <= 0) return;  // the program is gone or no longer reading
    done += static_cast<std::size_t>(wrote);
  }
}

void VornaProcess::close_input() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

bool VornaProcess::wait_for_output(const std::string& text, double timeout_seconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (read_file(out_path_).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

void VornaProcess::signal(int signal_number) { kill(pid_, signal_number); }

bool VornaProcess::wait_until_catching(int signal_number, double timeout_seconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
  const std::string status_path = "/proc/" + std::to_string(pid_) + "/status";
  const unsigned long long bit = 1ULL << (signal_number - 1);
  while (std::chrono::steady_clock::now() < deadline) {
    // "SigCgt:" holds the caught signals as a hexadecimal mask.
    const std::string status = read_file(status_path);
    const std::size_t at = status.find("SigCgt:");
    if (at != std::string::npos &&
        (std::strtoull(status.c_str() + at + 7, nullptr, 16) & bit) != 0) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool VornaProcess::running() {
  if (pid_ <= 0) return false;
  siginfo_t info;
  info.si_pid = 0;
  return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0;
}

RunResult VornaProcess::wait() {
  RunResult result;
  if (pid_ <= 0) return result;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.core_dumped = WIFSIGNALED(status) && WCOREDUMP(status);
  struct stat info;
  if (stat(out_path_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    result.out = read_file(out_path_);
  if (remove_error_) result.err = read_file(err_path_);
  // A sanitizer report of the program fails the test whatever it checks.
  for (const std::string* stream : {&result.out, &result.err}) {
    if (stream->find("Sanitizer") != std::string::npos ||
        stream->find(": runtime error: ") != std::string::npos) {
      ADD_FAILURE() << "sanitizer report from the program:\n" << *stream;
    }
  }
  return result;
}

RunResult run_vorna(const std::string& directory, const std::string& answers,
                    const Environment& environment) {
  VornaProcess process(directory, environment);
  process.send(answers);
  process.close_input();
  return process.wait();
}

RunResult run_vorna_with(const std::string& directory, const std::string& answers,
                         const RunOptions& options) {
  VornaProcess process(directory, options);
  process.send(answers);
  process.close_input();
  return process.wait();
}

}  // namespace vorna_test
