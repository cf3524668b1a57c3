// The program motor-panel.

#include "program.h"

int main(int argc, char** argv) { return motor::panel::run_program(argc, argv); }
