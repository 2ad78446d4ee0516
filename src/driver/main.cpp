#include "driver/run_sequence.h"

int main() { vorna::run_program(); }
