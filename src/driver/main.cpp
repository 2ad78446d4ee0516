#include "driver/command_line.h"
#include "driver/run_sequence.h"

int main(int argc, char* argv[]) {
  if (vorna::answer_command_line(argc, argv)) return 0;
  vorna::run_program();
}
