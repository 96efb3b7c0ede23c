/* A program that only carries a version resource (or none). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE Prev, LPSTR CmdLine, int Show)
{
    (void)Instance; (void)Prev; (void)CmdLine; (void)Show;
    return 0;
}
