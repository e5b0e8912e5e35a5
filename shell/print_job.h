// Printing: the system's print dialog, then the canvas as one page on the chosen printer.
#pragma once

struct MainWindow;

// The print command. Cancelling the dialog prints nothing; a page that cannot be made or a
// printer that refuses the job ends the job unprinted and says so.
void RunPrintCommand(MainWindow& w);
