#pragma once
// Waiting, step by step, for the rows of a result that are still to come:
// for long work (RunLongWork) that needs rows the grid has not fetched yet,
// so that its Cancel stops only the waiting and never the fetching.

class DbDataSet;

// One step of such waiting: makes sure the rest of the rows is on its way
// (fetched in the background) and gives it a moment. False when no more rows
// will come: all are there, a fetch failed, or the row set is closed.
bool AwaitMoreRows(DbDataSet &rows);
