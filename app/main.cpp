#include <allegro.h>

#include "app/Startup.h"

int main()
{
    return runVaskur();
}
END_OF_MAIN()
