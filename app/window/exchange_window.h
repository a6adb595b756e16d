#pragma once

#include <functional>

class ExchangeWorker;
class KeypadConnection;
class QWidget;

// How the window lives with exchanges that run off its thread.

// The looks at the bus (and so the first read-back of a keypad present at
// start) begin once the window has been painted for the first time.
void startLooksAfterFirstPaint(QWidget& window, KeypadConnection& connection);

// True while an exchange runs: the close has to wait. The window is closed
// again (asking about unsaved edits as usual) once the last one has ended and
// `stillWanted` agrees, so a save is never cut between its reports.
bool closeAfterExchanges(QWidget& window, ExchangeWorker& worker,
                         std::function<bool()> stillWanted = [] { return true; });
