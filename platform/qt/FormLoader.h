// The loader of form definitions: our own text format, read from Qt resources compiled into the
// program (":/...") or from files.
//
// Format (UTF-8; '#' starts a comment line; indentation is free):
//
//   object fmTest: TfmTest              # the root: sets its Name; the class must be the root's
//     Caption = "Проба"                 # text in double quotes; \" \\ \n \t escapes
//     Left = 10                         # integers (also $00FF00FF), decimals 1.5
//     KeyPreview = True                 # True / False
//     Color = clBtnFace                 # identifiers: enums, colours, references, handlers
//     Font.Style = [fsBold, fsItalic]   # sets
//     OnClose = FormClose               # event -> handler of the root's table; nil clears
//     object Panel1: TPanel             # owned by the root; parent = the enclosing control
//       object Memo1: TMemo
//         Lines = (                     # a string list, one text after another
//           "первая"
//           "вторая"
//         )
//       end
//     end
//     object Sig1: TEC_Signal
//       SigLabel = Label5               # references are resolved after the whole file is read,
//     end                               # so they may name components defined further down
//     object Connection: TConnection
//       CompanionArray.Companion00.ExecName = "Сигналист"   # nested persistent objects
//     end
//     inline Frame11: TFrame1           # a frame built from its own definition, then overridden:
//       Left = 100
//       object EC_Switch1: TEC_Switch   #   an existing inner component of the frame
//         OnKolpachekClick = Frame11EC_Switch1KolpachekClick   # bound in the root's table
//       end
//     end
//     object MainMenu1: TMainMenu       # menus: nested TMenuItem blocks are the sub-items
//       object N1: TMenuItem
//         Caption = "Файл"
//         object N2: TMenuItem
//           Caption = "Вихід"
//           OnClick = N2Click
//         end
//       end
//     end
//   end
//
// Properties are set in file order, each as soon as it is read (a setter may act at once, e.g.
// a track section resolving its cell list), after the component got its parent. Once the file
// is read, references are resolved and every created component's Loaded() runs.
// Unknown classes, properties, handlers and bad values are errors naming the file, the line and
// the word: "Main.vfm, строка 12: неизвестное свойство Colour (класс TPanel)".
//
// Properties of this layer's classes (RegisterQtPlatformClasses; descendants inherit them):
//   TControl: Left Top Width Height Visible Enabled Caption Color Font.Name Font.Size Font.Color
//     Font.Style Cursor Hint ShowHint Tag Align(alNone..alClient) PopupMenu; OnClick OnDblClick
//     OnMouseDown OnMouseUp OnMouseMove OnKeyDown OnKeyUp
//   TForm: ClientWidth ClientHeight KeyPreview Position BorderStyle FormStyle WindowState
//     BorderIcons Menu; OnActivate OnShow OnHide OnResize OnClose OnCloseQuery
//   TPanel: BevelOuter BevelInner BevelWidth Alignment     TLabel: Transparent AutoSize WordWrap Alignment
//   TButton: ModalResult Default   TBitBtn, TSpeedButton: Glyph (a picture name)
//   TSpeedButton: Down GroupIndex AllowAllUp Flat
//   TEdit, TMaskEdit, TMemo: Text ReadOnly OnChange; TEdit: MaxLength; TMaskEdit: EditMask;
//     TMemo: Lines WordWrap
//   TListBox: Items Sorted ItemIndex   TComboBox: Items Sorted ItemIndex Text Style OnChange
//   TCheckBox, TRadioButton: Checked   TRadioGroup: Items ItemIndex
//   TImage: Picture (a picture name) Stretch Center
//   TStatusBar: Panels = ("width|text" ...)   TPageControl: ActivePage OnChange  TTabSheet: Caption
//   TTimer: Interval Enabled SkipWhileBusy OnTimer
//   TMenuItem: Caption Checked Enabled Visible RadioItem GroupIndex OnClick
//   TPopupMenu: AutoPopup OnPopup   TOpenDialog, TSaveDialog: FileName Filter DefaultExt InitialDir Title
#pragma once
#include <string>

#include "platform/core/Component.h"
#include "platform/qt/Properties.h"

// Loads a definition into root, whose own properties the outermost block sets; handlers is
// the table events are bound in (null: the definition may bind none).
void LoadFormDefinition(TComponent* root, const std::string& path, THandlerTable* handlers);
// The same from a text; fileName names it in error messages.
void LoadFormDefinitionText(TComponent* root, const std::string& text, const std::string& fileName,
                            THandlerTable* handlers);

// The definition of a frame class, used when `inline Name: Class` places one.
void RegisterFormDefinition(const std::string& className, const std::string& path);
// The registered definition path, or an empty text.
std::string FormDefinitionPath(const std::string& className);
