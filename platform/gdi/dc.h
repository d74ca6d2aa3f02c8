// Device contexts: memory DCs over bitmaps, the screen DC, and the per-DC
// drawing state with its mapping-mode transform. DCs over windows are the
// windows layer's (platform/windows/window_dc.h).
#pragma once

#include "platform/gdi/gdi_types.h"

namespace platform {

// A DC of the same kind of display as `dc` (0: the screen). Its initial
// bitmap is the 1 x 1 monochrome stock bitmap, as on the desktop.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);

// A DC on the display ("DISPLAY", any case): like GetDC(0), deleted with
// DeleteDC. Other drivers are not there: 0.
HDC CreateDCA(const char* driver, const char* device, const char* output, const void* init);

// Saved states form a stack; RestoreDC(-1) pops one, RestoreDC(n) returns to
// the state SaveDC numbered n.
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
int SetROP2(HDC dc, int rop2);
int SetStretchBltMode(HDC dc, int mode);
int SetPolyFillMode(HDC dc, int mode);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);

// Mapping modes and the window/viewport transform.
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowExtEx(HDC dc, int x, int y, SIZE* previous);
BOOL SetViewportExtEx(HDC dc, int x, int y, SIZE* previous);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
BOOL GetWindowExtEx(HDC dc, SIZE* size);
BOOL GetViewportExtEx(HDC dc, SIZE* size);
BOOL GetWindowOrgEx(HDC dc, POINT* point);
BOOL GetViewportOrgEx(HDC dc, POINT* point);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
// Sizes: the extent ratio applied without origins, signs dropped.
BOOL LPtoDPSize(HDC dc, SIZE* size);
BOOL DPtoLPSize(HDC dc, SIZE* size);

}  // namespace platform
