// The tarvenox executable.
#include "app/Commands.h"

int main(int argc, char** argv) { return tarvenox::runCommandLine(argc, argv); }
