#include "plot/plot_program.h"

int main(int argc, char** argv) { return vorna::plot::run_plot(argc, argv); }
