#include <unistd.h>

#include "driver/run_sequence.h"

// The one place where the process ends (besides an interrupt's signal): the
// run's failure, or its normal stop, is written here. The process ends at
// once with the status: every unit is closed by then, and no exit handler
// (a sanitizer's leak check among them) runs after the run.
int main(int argc, char* argv[]) {
  vorna::Run run;
  _exit(vorna::end_program(vorna::run_program(run, argc, argv)));
}
