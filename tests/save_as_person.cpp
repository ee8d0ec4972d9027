// Saves a font as a person without root rights does, for the tests of what a
// save keeps of a file.
//
//   save_as_person FILE    takes the user and group 4242 and the group 4343,
//                          then saves the font read from standard input
//
// Exits with 0 when the file was saved and nothing had to be said, with 1
// when the save failed or spoke, with 2 when it could not become that person.

#include "modcode.h"
#include "scripted_dialogs.h"

#include <QFile>

#include <grp.h>
#include <unistd.h>

#include <iostream>
#include <iterator>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    modCode store;
    store.fontTable.assign(std::istreambuf_iterator<char>(std::cin), {});
    static constexpr gid_t sharedGroup = 4343;
    if (::setgroups(1, &sharedGroup) != 0 || ::setgid(4242) != 0 || ::setuid(4242) != 0)
        return 2;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {QFile::decodeName(argv[1])};
    return store.saveFontFile(dialogs) && dialogs.messageBoxes.empty() ? 0 : 1;
}
