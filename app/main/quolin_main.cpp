// app/main/quolin_main.cpp -- the quolin program: everything is in the library.
#include "app/nk_application.h"

int main(int argc, char **argv) { return NKRunApplication(argc, argv); }
