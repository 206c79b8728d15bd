// Dialog templates: the controls of a dialog, kept as XML files.
//
// Each file under the program folder's "Resources/dialogs" holds one dialog and
// is named after what the dialog is (log_tool.xml). Texts are UTF-8; geometry
// is in pixels, relative to the dialog's client area:
//
//   <Dialog id="141" name="IDD_LOGTOOL" width="300" height="40" caption="..." style="child">
//     <Control id="1071" class="Button" x="0" y="8" width="75" height="24" text="..." />
//     <Control id="1284" class="Static" x="10" y="10" width="80" height="20" style="hidden" />
//   </Dialog>
//
// Dialog attributes: id (required, the template number), name (the resource
// name, for people), width, height, caption, style: "|"-separated words,
// "child" (created with a parent, the dialog is a borderless child widget of it),
// "popup" (a window of its own; the default), "visible" (Create shows it).
// Control attributes: id (0 for controls nobody looks up), class, x, y, width,
// height, text, style: "hidden" and/or "disabled". Classes: Button, CheckBox,
// Radio, Static, Picture, Edit, Password, MultiEdit, ComboBox, ListBox, List,
// Tree, Tab, Slider, Progress, GroupBox, DateTime, Custom; any other class is
// kept as written and becomes a plain placeholder widget.
//
// Attribute values keep their white space and line breaks ("&#10;").
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

struct ControlTemplate {
  int id = 0;
  std::string className;
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;  // UTF-8
  bool hidden = false;
  bool disabled = false;
};

struct DialogTemplate {
  UINT id = 0;
  std::string name;
  int width = 0, height = 0;
  std::string caption;  // UTF-8
  bool child = false;
  bool visible = false;
  std::vector<ControlTemplate> controls;
};

namespace dlgtemplate {

// Parses one template file's text; false (and `out` untouched) when it is not
// a <Dialog> with an id.
bool Parse(const std::string& xml, DialogTemplate& out);

// The template with this id from the template folder, which is indexed once
// (again when the folder changes). False when no file holds the id.
bool Find(UINT id, DialogTemplate& out);

// The template folder (native path, trailing '/'): the one set here, else the
// program folder's "Resources/dialogs/". Empty: back to the default.
std::string Folder();
void SetFolder(const std::string& nativeFolder);

}  // namespace dlgtemplate
