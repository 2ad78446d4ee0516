#include "driver/command_line.h"
#include "driver/run_sequence.h"

int main(int argc, char* argv[]) { vorna::run_program(vorna::answer_command_line(argc, argv)); }
