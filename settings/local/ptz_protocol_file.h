// "Config\\PtzProtocol.xml": the PTZ protocol chosen in the local settings.
// Root element PtzProtocol; with a protocol in use, one child element
// PtzProtocol whose attribute SelIndex is the protocol's list index; with
// none, no children. GB2312 XML, saved atomically.
#pragma once

struct PtzProtocolChoice {
  bool stored = false;  // the root's first child element carries SelIndex
  int index = -1;
};

// Reads the choice at start-up. A file that is missing or does not parse is
// replaced by the default document (a damaged one is kept beside it as
// PtzProtocol.xml.bad): no choice then.
PtzProtocolChoice ReadPtzProtocolChoice();

// Replaces the root's children with one PtzProtocol element of SelIndex
// `index`. False, with nothing written, when the file cannot be loaded or
// written.
bool WritePtzProtocolChoice(int index);

// Removes every child of the root. False, with nothing written, when the file
// cannot be loaded or written.
bool ClearPtzProtocolChoice();
