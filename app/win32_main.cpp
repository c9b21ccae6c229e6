#include "form1.h"

#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The fields' accessible names go through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 0;
    {
        quorvel::win32::Form1 form(instance);
        form.Show(showCommand);
        exitCode = form.Run();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
