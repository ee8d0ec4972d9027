// Saves over one file until it is killed, for the crash tests.
//
//   save_until_killed FILE OLD NEW          saves NEW, OLD, NEW, ... by turns
//   save_until_killed FILE OLD NEW CALLS    saves NEW, then OLD, and kills
//                                           itself at the system call CALLS
//
// OLD and NEW are files holding the two fonts. Once it has read them it says
// "saving" on a line of its own. Exits with 0 once the two saves are done
// without reaching the system call CALLS, with 1 when a save fails.

#include "at_system_call.h"
#include "disk_writes.h"
#include "test_files.h"

#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5)
        return 2;
    const QString file = QFile::decodeName(argv[1]);
    const QByteArray fonts[] = {readFile(QFile::decodeName(argv[3])), readFile(QFile::decodeName(argv[2]))};
    std::puts("saving");
    std::fflush(stdout);
    const bool killsItself = argc == 5;
    if (killsItself && !runBeforeSystemCall(std::atoi(argv[4]), [] { std::raise(SIGKILL); }))
        return 2;
    for (int turn = 0; !killsItself || turn < 2; ++turn)
        if (writeWholeFile(file, fonts[turn % 2]))
            return 1;
    return 0;
}
