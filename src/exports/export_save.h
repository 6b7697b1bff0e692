#pragma once
// The finished exports saved as long work under the wait window: off the
// window's thread, with their progress and Cancel, so that the windows go on
// however large the export. A save the user stopped (or that the program's
// end stopped) leaves nothing of itself and ends in the one cancel error,
// StoreCallCancelled(), as a stopped call to the store does.

#include <QString>

class TemporaryPage;
class XlsxBackend;
struct SaveWatch;

// Finishes the workbook in its folder (compresses it); returns its file.
// Throws AppError when it fails; nothing of the workbook stays then.
QString FinishWorkbook(XlsxBackend &book, SaveWatch *watch = nullptr);
// Moves the finished workbook to the chosen file (a copy onto another file
// system). Throws AppError naming the file when it fails; the workbook stays
// in its folder then, for the caller to keep or discard.
void MoveWorkbook(XlsxBackend &book, const QString &fileName, SaveWatch *watch = nullptr);
// Saves the written page under the chosen name. Throws AppError naming the
// file when it fails.
void SavePage(TemporaryPage &page, const QString &fileName, SaveWatch *watch = nullptr);
