#include "frmmain.h"
#include "glyphora_application.h"

int main(int argc, char* argv[])
{
    GlyphoraApplication application(argc, argv);
    frmMain editor;
    editor.show();
    return application.exec();
}
