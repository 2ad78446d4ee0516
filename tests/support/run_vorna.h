// Runs the real program in a temporary directory with piped answers, and
// gives back its console output, diagnostics, exit status and files.
#pragma once

#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

namespace vorna_test {

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);

struct RunResult {
  std::string out;  // standard output bytes
  std::string err;  // standard error bytes
  int status = -1;  // exit status, or 128 + the signal that ended it
  int signal = 0;   // the signal that ended it, 0 when it exited
  bool core_dumped = false;
};

// Environment changes for a run: FORT36 in any case is always removed from
// the inherited environment first; these are added after.
using Environment = std::vector<std::pair<std::string, std::string>>;

// How the program's standard streams and user are set up.
struct RunOptions {
  Environment environment;
  // Standard error goes to the same file as standard output, so the order
  // of console output and diagnostic lines can be seen.
  bool merge_error_into_output = false;
  // The program runs as the user and group nobody (65534); needs root.
  bool unprivileged = false;
  enum class Input { kPipe, kDevNull, kClosed, kDirectory, kFile };
  // kDevNull, kClosed, kDirectory (the run's directory opened for reading)
  // and kFile (input_file, a regular file or device) leave no answers pipe:
  // send does nothing.
  Input input = Input::kPipe;
  std::string input_file;
  // Command-line arguments after the program name.
  std::vector<std::string> arguments;
  // Signals ignored when the program starts, as under nohup.
  std::vector<int> ignored_signals;
  // Resource limits (soft and hard) the program starts with.
  std::vector<std::pair<int, rlim_t>> limits;
  // Standard output goes to this file (a FIFO too), replacing or appending
  // to what it holds, instead of a file of the run's own.
  std::string output_file;
  bool append_output = false;
  // Standard output is closed when the program starts.
  bool close_output = false;
  // Standard error goes to this file (a FIFO too) instead of a file of the
  // run's own; the result's err is then empty.
  std::string error_file;
  // Standard input and output are non-blocking (EAGAIN when not ready).
  bool nonblocking = false;
  // The program runs in the directory reached from the run's directory
  // through these names one at a time (deeper than any path can name).
  std::vector<std::string> descend;
};

// True when a child can become the user nobody and still run the program.
bool unprivileged_runs_possible();

// A running program whose answers come through a pipe that stays open until
// close_input or wait.
class VornaProcess {
 public:
  VornaProcess(const std::string& directory, const Environment& environment = {});
  VornaProcess(const std::string& directory, const RunOptions& options);
  ~VornaProcess();
  VornaProcess(const VornaProcess&) = delete;
  VornaProcess& operator=(const VornaProcess&) = delete;

  void send(const std::string& bytes);
  void close_input();
  // Waits until standard output holds text (true), or for at most
  // timeout_seconds (false).
  bool wait_for_output(const std::string& text, double timeout_seconds = 10.0);
  void signal(int signal_number);
  // Waits until the program has its handler for signal_number in place
  // (true), or for at most timeout_seconds (false): a signal sent before
  // that would end it without its diagnostic line.
  bool wait_until_catching(int signal_number, double timeout_seconds = 10.0);
  // True while the program has not ended (it may be a zombie already).
  bool running();
  // Waits for the program to end; the input stays open until then, so
  // close_input first when the program is to see the end of its answers.
  RunResult wait();

 private:
  void start(const std::string& directory, const RunOptions& options);

  std::string out_path_, err_path_;
  bool remove_output_ = true;
  bool remove_error_ = true;
  int input_ = -1;
  int pid_ = -1;
};

// Runs the program in directory with the answers on standard input.
RunResult run_vorna(const std::string& directory, const std::string& answers,
                    const Environment& environment = {});

RunResult run_vorna_with(const std::string& directory, const std::string& answers,
                         const RunOptions& options);

}  // namespace vorna_test
