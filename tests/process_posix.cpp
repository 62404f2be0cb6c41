#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "process.h"

namespace testing_support {

namespace {

// No limit on the child's address space.
constexpr std::size_t kNoAddressLimit = 0;

int start_and_wait(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                   const std::string& stdout_path, std::size_t address_limit) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int out = ::open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
    if (address_limit != kNoAddressLimit) {
      const rlimit limit{address_limit, address_limit};
      if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(127);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

unsigned system_code_page() { return 0; }

int run_process(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                const std::string& stdout_path) {
  return start_and_wait(program, args, dir, stdout_path, kNoAddressLimit);
}

int run_process_with_address_limit(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& dir, const std::string& stdout_path, std::size_t bytes) {
  return start_and_wait(program, args, dir, stdout_path, bytes);
}

}  // namespace testing_support
