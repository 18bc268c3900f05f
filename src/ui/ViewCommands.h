#pragma once

namespace pirela {

class Bitmap;
class CMainFrame;
class CPirelaDoc;
class ShellOpener;
struct AppSettings;

// The view's own commands: the image to the clipboard (32776), the file's properties (32789),
// the help page (32786), the open folder and the eight destinations in the file manager
// (32817, 32809 ... 32816) and the toolbar's file-manager drop-down (32818).
void RegisterViewCommands(CMainFrame& frame, CPirelaDoc& doc, const AppSettings& settings,
                          ShellOpener& opener);

// Puts the bitmap, as it is turned, on the clipboard at its own size.
void CopyBitmapToClipboard(const Bitmap& bitmap);

} // namespace pirela
