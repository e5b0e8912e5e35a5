// The portable core must not see the Windows API: Windows-only code lives in shell/, panels/
// or in files named *_win32.*. This header shadows the real one for core sources only.
#error "winbase.h is not available to the portable core; move this code to a *_win32 file"
