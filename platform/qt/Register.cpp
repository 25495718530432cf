// The classes of the windowing layer and their published properties, for the form loader.
#include "platform/core/CFormat.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Forms.h"
#include "platform/qt/Properties.h"

namespace {

template <class T>
void Class()
{
    RegisterComponentClass(T::StaticClassType()->Name, [](TComponent* owner) { return new T(owner); });
}

TFontStyles FontStyles(const TPropValue& v)
{
    TFontStyles s = 0;
    for (const std::string& n : v.AsSet()) s |= static_cast<TFontStyles>(EnumValue({{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}}, TPropValue{TPropValue::Ident, 0, 0, n, {}}));
    return s;
}

const TEnumNames kCursors = {{"crDefault", crDefault}, {"crNone", crNone},         {"crArrow", crArrow},
                             {"crCross", crCross},     {"crIBeam", crIBeam},       {"crSizeNS", crSizeNS},
                             {"crSizeWE", crSizeWE},   {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass},
                             {"crDrag", crDrag},       {"crNoDrop", crNoDrop},     {"crNo", crNo},
                             {"crHelp", crHelp},       {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll}};
const TEnumNames kBevels = {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}};
const TEnumNames kAlignments = {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
const TEnumNames kModalResults = {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
                                  {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo}};

void ControlProperties()
{
    RegisterIntProperty<TControl>("Left", [](TControl& c, int v) { c.SetLeft(v); });
    RegisterIntProperty<TControl>("Top", [](TControl& c, int v) { c.SetTop(v); });
    RegisterIntProperty<TControl>("Width", [](TControl& c, int v) { c.SetWidth(v); });
    RegisterIntProperty<TControl>("Height", [](TControl& c, int v) { c.SetHeight(v); });
    RegisterBoolProperty<TControl>("Visible", [](TControl& c, bool v) { c.SetVisible(v); });
    RegisterBoolProperty<TControl>("Enabled", [](TControl& c, bool v) { c.SetEnabled(v); });
    RegisterStringProperty<TControl>("Caption", [](TControl& c, const std::string& v) { c.SetCaption(v); });
    RegisterColorProperty<TControl>("Color", [](TControl& c, int v) { c.SetColor(v); });
    RegisterStringProperty<TControl>("Font.Name", [](TControl& c, const std::string& v) { c.Font().Name = v; c.FontChanged(); });
    RegisterIntProperty<TControl>("Font.Size", [](TControl& c, int v) { c.Font().Size = v; c.FontChanged(); });
    RegisterColorProperty<TControl>("Font.Color", [](TControl& c, int v) { c.Font().Color = v; c.FontChanged(); });
    RegisterValueProperty<TControl>("Font.Style", [](TControl& c, const TPropValue& v) { c.Font().Style = FontStyles(v); c.FontChanged(); });
    RegisterEnumProperty<TControl>("Cursor", kCursors, [](TControl& c, int v) { c.SetCursor(v); });
    RegisterStringProperty<TControl>("Hint", [](TControl& c, const std::string& v) { c.SetHint(v); });
    RegisterBoolProperty<TControl>("ShowHint", [](TControl& c, bool v) { c.SetShowHint(v); });
    RegisterIntProperty<TControl>("Tag", [](TControl& c, int v) { c.Tag = v; });
    RegisterEnumProperty<TControl>("Align", {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}},
                                   [](TControl& c, int v) { c.SetAlign(TAlign(v)); });
    RegisterReferenceProperty<TControl, TPopupMenu>("PopupMenu", [](TControl& c, TPopupMenu* m) { c.SetPopupMenu(m); });
    RegisterEventProperty<TControl, TNotifyEvent>("OnClick", [](TControl& c, TNotifyEvent e) { c.OnClick = e; });
    RegisterEventProperty<TControl, TNotifyEvent>("OnDblClick", [](TControl& c, TNotifyEvent e) { c.OnDblClick = e; });
    RegisterEventProperty<TControl, TMouseEvent>("OnMouseDown", [](TControl& c, TMouseEvent e) { c.OnMouseDown = e; });
    RegisterEventProperty<TControl, TMouseEvent>("OnMouseUp", [](TControl& c, TMouseEvent e) { c.OnMouseUp = e; });
    RegisterEventProperty<TControl, TMouseMoveEvent>("OnMouseMove", [](TControl& c, TMouseMoveEvent e) { c.OnMouseMove = e; });
    RegisterEventProperty<TControl, TKeyEvent>("OnKeyDown", [](TControl& c, TKeyEvent e) { c.OnKeyDown = e; });
    RegisterEventProperty<TControl, TKeyEvent>("OnKeyUp", [](TControl& c, TKeyEvent e) { c.OnKeyUp = e; });
}

void FormProperties()
{
    RegisterIntProperty<TForm>("ClientWidth", [](TForm& f, int v) { f.SetClientWidth(v); });
    RegisterIntProperty<TForm>("ClientHeight", [](TForm& f, int v) { f.SetClientHeight(v); });
    RegisterBoolProperty<TForm>("KeyPreview", [](TForm& f, bool v) { f.KeyPreview = v; });
    RegisterBoolProperty<TForm>("AutoScroll", [](TForm& f, bool v) { f.SetAutoScroll(v); });
    RegisterEnumProperty<TForm>("Position", {{"poDesigned", poDesigned}, {"poScreenCenter", poScreenCenter}, {"poMainFormCenter", poMainFormCenter}, {"poDefault", poDefault}},
                                [](TForm& f, int v) { f.Position = TPosition(v); });
    RegisterEnumProperty<TForm>("BorderStyle", {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable}, {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}},
                                [](TForm& f, int v) { f.SetBorderStyle(TFormBorderStyle(v)); });
    RegisterEnumProperty<TForm>("FormStyle", {{"fsNormal", fsNormal}, {"fsStayOnTop", fsStayOnTop}}, [](TForm& f, int v) { f.SetFormStyle(TFormStyle(v)); });
    RegisterEnumProperty<TForm>("WindowState", {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}},
                                [](TForm& f, int v) { f.SetWindowState(TWindowState(v)); });
    RegisterValueProperty<TForm>("BorderIcons", [](TForm& f, const TPropValue& v) {
        unsigned icons = 0;
        for (const std::string& n : v.AsSet())
            icons |= static_cast<unsigned>(EnumValue({{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}},
                                                     TPropValue{TPropValue::Ident, 0, 0, n, {}}));
        f.SetBorderIcons(icons);
    });
    RegisterReferenceProperty<TForm, TMainMenu>("Menu", [](TForm& f, TMainMenu* m) { f.SetMenu(m); });
    RegisterEventProperty<TForm, TNotifyEvent>("OnActivate", [](TForm& f, TNotifyEvent e) { f.OnActivate = e; });
    RegisterEventProperty<TForm, TNotifyEvent>("OnShow", [](TForm& f, TNotifyEvent e) { f.OnShow = e; });
    RegisterEventProperty<TForm, TNotifyEvent>("OnHide", [](TForm& f, TNotifyEvent e) { f.OnHide = e; });
    RegisterEventProperty<TForm, TNotifyEvent>("OnResize", [](TForm& f, TNotifyEvent e) { f.OnResize = e; });
    RegisterEventProperty<TForm, TCloseEvent>("OnClose", [](TForm& f, TCloseEvent e) { f.OnClose = e; });
    RegisterEventProperty<TForm, TCloseQueryEvent>("OnCloseQuery", [](TForm& f, TCloseQueryEvent e) { f.OnCloseQuery = e; });
}

void StandardProperties()
{
    RegisterEnumProperty<TPanel>("BevelOuter", kBevels, [](TPanel& p, int v) { p.SetBevelOuter(TBevelCut(v)); });
    RegisterEnumProperty<TPanel>("BevelInner", kBevels, [](TPanel& p, int v) { p.SetBevelInner(TBevelCut(v)); });
    RegisterIntProperty<TPanel>("BevelWidth", [](TPanel& p, int v) { p.SetBevelWidth(v); });
    RegisterEnumProperty<TPanel>("Alignment", kAlignments, [](TPanel& p, int v) { p.Alignment = TAlignment(v); p.Invalidate(); });

    RegisterBoolProperty<TLabel>("Transparent", [](TLabel& l, bool v) { l.SetTransparent(v); });
    RegisterBoolProperty<TLabel>("AutoSize", [](TLabel& l, bool v) { l.SetAutoSize(v); });
    RegisterBoolProperty<TLabel>("WordWrap", [](TLabel& l, bool v) { l.SetWordWrap(v); });
    RegisterEnumProperty<TLabel>("Alignment", kAlignments, [](TLabel& l, int v) { l.SetAlignment(TAlignment(v)); });

    RegisterEnumProperty<TButton>("ModalResult", kModalResults, [](TButton& b, int v) { b.ModalResult = v; });
    RegisterBoolProperty<TButton>("Default", [](TButton& b, bool v) { b.SetDefault(v); });
    RegisterBoolProperty<TButton>("Cancel", [](TButton& b, bool v) { b.Cancel = v; });
    RegisterStringProperty<TBitBtn>("Glyph", [](TBitBtn& b, const std::string& v) { b.SetGlyph(v); });

    RegisterBoolProperty<TSpeedButton>("Down", [](TSpeedButton& b, bool v) { b.SetDown(v); });
    RegisterIntProperty<TSpeedButton>("GroupIndex", [](TSpeedButton& b, int v) { b.GroupIndex = v; });
    RegisterBoolProperty<TSpeedButton>("AllowAllUp", [](TSpeedButton& b, bool v) { b.AllowAllUp = v; });
    RegisterBoolProperty<TSpeedButton>("Flat", [](TSpeedButton& b, bool v) { b.Flat = v; b.Invalidate(); });
    RegisterStringProperty<TSpeedButton>("Glyph", [](TSpeedButton& b, const std::string& v) { b.SetGlyph(v); });

    RegisterStringProperty<TCustomEdit>("Text", [](TCustomEdit& e, const std::string& v) { e.SetText(v); });
    RegisterBoolProperty<TCustomEdit>("ReadOnly", [](TCustomEdit& e, bool v) { e.SetReadOnly(v); });
    RegisterEventProperty<TCustomEdit, TNotifyEvent>("OnChange", [](TCustomEdit& e, TNotifyEvent h) { e.OnChange = h; });
    RegisterIntProperty<TEdit>("MaxLength", [](TEdit& e, int v) { e.SetMaxLength(v); });
    RegisterStringProperty<TMaskEdit>("EditMask", [](TMaskEdit& e, const std::string& v) { e.SetEditMask(v); });
    RegisterStringsProperty<TMemo>("Lines", [](TMemo& m, const TStringList& l) { m.Lines().Assign(l); });
    RegisterBoolProperty<TMemo>("WordWrap", [](TMemo& m, bool v) { m.SetWordWrap(v); });

    RegisterStringsProperty<TListBox>("Items", [](TListBox& b, const TStringList& l) { b.Items().Assign(l); });
    RegisterBoolProperty<TListBox>("Sorted", [](TListBox& b, bool v) { b.SetSorted(v); });
    RegisterIntProperty<TListBox>("ItemIndex", [](TListBox& b, int v) { b.SetItemIndex(v); });

    RegisterStringsProperty<TComboBox>("Items", [](TComboBox& b, const TStringList& l) { b.Items().Assign(l); });
    RegisterBoolProperty<TComboBox>("Sorted", [](TComboBox& b, bool v) { b.SetSorted(v); });
    RegisterIntProperty<TComboBox>("ItemIndex", [](TComboBox& b, int v) { b.SetItemIndex(v); });
    RegisterStringProperty<TComboBox>("Text", [](TComboBox& b, const std::string& v) { b.SetText(v); });
    RegisterEnumProperty<TComboBox>("Style", {{"csDropDown", csDropDown}, {"csDropDownList", csDropDownList}},
                                    [](TComboBox& b, int v) { b.SetStyle(TComboBoxStyle(v)); });
    RegisterEventProperty<TComboBox, TNotifyEvent>("OnChange", [](TComboBox& b, TNotifyEvent h) { b.OnChange = h; });

    RegisterBoolProperty<TCheckBox>("Checked", [](TCheckBox& b, bool v) { b.SetChecked(v); });
    RegisterBoolProperty<TRadioButton>("Checked", [](TRadioButton& b, bool v) { b.SetChecked(v); });
    RegisterStringsProperty<TRadioGroup>("Items", [](TRadioGroup& g, const TStringList& l) { g.Items().Assign(l); });
    RegisterIntProperty<TRadioGroup>("ItemIndex", [](TRadioGroup& g, int v) { g.SetItemIndex(v); });

    RegisterStringProperty<TImage>("Picture", [](TImage& i, const std::string& v) { i.SetPictureName(v); });
    RegisterBoolProperty<TImage>("Stretch", [](TImage& i, bool v) { i.Stretch = v; i.Invalidate(); });
    RegisterBoolProperty<TImage>("Center", [](TImage& i, bool v) { i.Center = v; i.Invalidate(); });

    // Panels are written as a list of "width|text" entries.
    RegisterStringsProperty<TStatusBar>("Panels", [](TStatusBar& b, const TStringList& l) {
        b.ClearPanels();
        for (const std::string& s : l.lines) {
            size_t bar = s.find('|');
            b.AddPanel(static_cast<int>(AtolC(s.substr(0, bar).c_str())), bar == std::string::npos ? "" : s.substr(bar + 1));
        }
    });

    RegisterReferenceProperty<TPageControl, TTabSheet>("ActivePage", [](TPageControl& p, TTabSheet* t) { p.SetActivePage(t); });
    RegisterEventProperty<TPageControl, TNotifyEvent>("OnChange", [](TPageControl& p, TNotifyEvent h) { p.OnChange = h; });

    RegisterIntProperty<TTimer>("Interval", [](TTimer& t, int v) { t.SetInterval(v); });
    RegisterBoolProperty<TTimer>("Enabled", [](TTimer& t, bool v) { t.SetEnabled(v); });
    RegisterBoolProperty<TTimer>("SkipWhileBusy", [](TTimer& t, bool v) { t.SkipWhileBusy = v; });
    RegisterEventProperty<TTimer, TNotifyEvent>("OnTimer", [](TTimer& t, TNotifyEvent e) { t.SetOnTimer(e); });

    RegisterStringProperty<TMenuItem>("Caption", [](TMenuItem& m, const std::string& v) { m.SetCaption(v); });
    RegisterBoolProperty<TMenuItem>("Checked", [](TMenuItem& m, bool v) { m.SetChecked(v); });
    RegisterBoolProperty<TMenuItem>("Enabled", [](TMenuItem& m, bool v) { m.SetEnabled(v); });
    RegisterBoolProperty<TMenuItem>("Visible", [](TMenuItem& m, bool v) { m.SetVisible(v); });
    RegisterBoolProperty<TMenuItem>("RadioItem", [](TMenuItem& m, bool v) { m.RadioItem = v; });
    RegisterIntProperty<TMenuItem>("GroupIndex", [](TMenuItem& m, int v) { m.GroupIndex = v; });
    RegisterEventProperty<TMenuItem, TNotifyEvent>("OnClick", [](TMenuItem& m, TNotifyEvent e) { m.OnClick = e; });
    RegisterBoolProperty<TPopupMenu>("AutoPopup", [](TPopupMenu& m, bool v) { m.AutoPopup = v; });
    RegisterEventProperty<TPopupMenu, TNotifyEvent>("OnPopup", [](TPopupMenu& m, TNotifyEvent e) { m.OnPopup = e; });

    RegisterStringProperty<TOpenDialog>("FileName", [](TOpenDialog& d, const std::string& v) { d.FileName = v; });
    RegisterStringProperty<TOpenDialog>("Filter", [](TOpenDialog& d, const std::string& v) { d.Filter = v; });
    RegisterStringProperty<TOpenDialog>("DefaultExt", [](TOpenDialog& d, const std::string& v) { d.DefaultExt = v; });
    RegisterStringProperty<TOpenDialog>("InitialDir", [](TOpenDialog& d, const std::string& v) { d.InitialDir = v; });
    RegisterStringProperty<TOpenDialog>("Title", [](TOpenDialog& d, const std::string& v) { d.Title = v; });
}

} // namespace

void RegisterQtPlatformClasses()
{
    Class<TPanel>();
    Class<TLabel>();
    Class<TButton>();
    Class<TBitBtn>();
    Class<TSpeedButton>();
    Class<TEdit>();
    Class<TMaskEdit>();
    Class<TMemo>();
    Class<TListBox>();
    Class<TComboBox>();
    Class<TCheckBox>();
    Class<TRadioButton>();
    Class<TGroupBox>();
    Class<TRadioGroup>();
    Class<TImage>();
    Class<TStatusBar>();
    Class<TPageControl>();
    Class<TTabSheet>();
    Class<TTimer>();
    Class<TMainMenu>();
    Class<TPopupMenu>();
    Class<TMenuItem>();
    Class<TOpenDialog>();
    Class<TSaveDialog>();
    Class<TFrame>();
    ControlProperties();
    FormProperties();
    StandardProperties();
}
