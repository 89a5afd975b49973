// The program's entry point: answers --version and --help, otherwise hands
// over to runVaskur (app/Startup.cpp); other arguments are ignored.
#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "app/Startup.h"
#include "vaskur/Version.h"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vaskur %s\n", vaskurVersion);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: vaskur [--version | --help]\n"
                    "Finds walking routes over terrain height maps in a window. Reads gui.cfg and\n"
                    "kujundus.ini from the current folder and opens maps from there; the installed\n"
                    "vaskur command runs it in $XDG_DATA_HOME/vaskur (~/.local/share/vaskur).\n");
        return 0;
    }
    return runVaskur();
}
END_OF_MAIN()
