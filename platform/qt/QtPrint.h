#pragma once
// The printer back end over Qt's print support: system printers through CUPS, PDF files
// through Qt's PDF writer.
class TPrintBackend;

TPrintBackend* QtPrintBackend();
