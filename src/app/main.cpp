// The tarvenox executable.
#include "app/Commands.h"
#include "common/TemporaryPaths.h"

int main(int argc, char** argv) {
    // An interrupted run leaves neither a temporary output file nor its working folder.
    tarvenox::installTerminationCleanup();
    return tarvenox::runCommandLine(argc, argv);
}
