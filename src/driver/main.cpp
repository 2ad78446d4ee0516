#include "driver/run_sequence.h"

// The one place where the process ends (besides an interrupt's signal): the
// run's failure, or its normal stop, is written here.
int main(int argc, char* argv[]) {
  vorna::Run run;
  return vorna::end_program(vorna::run_program(run, argc, argv));
}
