// The tarvenox executable.
#include "app/Commands.h"
#include "common/RunRecord.h"
#include "common/TemporaryPaths.h"

int main(int argc, char** argv) {
    // An interrupted run leaves neither a temporary output file nor its working folder;
    // a killed one leaves them listed in its record, for the next run to sweep.
    tarvenox::installTerminationCleanup();
    tarvenox::startRunRecord(tarvenox::runRecordFolder());
    const int status = tarvenox::runCommandLine(argc, argv);
    tarvenox::endRunRecord();
    return status;
}
