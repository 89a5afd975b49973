// The program's entry point: hands over to runVaskur (app/Startup.cpp).
#include <allegro.h>

#include "app/Startup.h"

int main()
{
    return runVaskur();
}
END_OF_MAIN()
