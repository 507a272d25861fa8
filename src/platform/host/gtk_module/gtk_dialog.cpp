// The desktop message box: a modal GTK 3 dialog, mirrored for right-to-left reading. Built as a
// module of its own that the library loads only where a display is named, so that the library
// itself never links GTK.
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/host/gtk_module/gtk_module_abi.hpp"
#include "platform/host/message_box_buttons.hpp"

namespace orvex::host {
namespace {

std::mutex observerMutex;
ShownBoxObserver shownBoxObserver;

void SetObserver(ShownBoxObserver observer) {
  std::lock_guard<std::mutex> lock(observerMutex);
  shownBoxObserver = std::move(observer);
}

// Message-box style bits that shape the dialog.
constexpr int32_t kIconMask = 0xF0;
constexpr int32_t kDefaultButtonShift = 8;
constexpr int32_t kHelpButton = 0x4000;
constexpr int32_t kTextRight = 0x00080000;
constexpr int32_t kRtlReading = 0x00100000;
constexpr int32_t kAnswerCancel = 2;

// GTK belongs to the thread that started it; a box asked for on another thread is not shown
// on the desktop, so that GTK is never entered from two threads.
std::mutex sessionMutex;
bool sessionStarted = false;
std::thread::id sessionThread;

bool DisplayNamed() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

const char* IconNameOfStyle(int32_t style) {
  switch ((style & kIconMask) >> 4) {
    case 1:
      return "dialog-error";
    case 2:
      return "dialog-question";
    case 3:
      return "dialog-warning";
    case 4:
      return "dialog-information";
    default:
      return nullptr;
  }
}

// The button labels as the desktop writes them, with the access keys of the desktop's box.
std::string MnemonicLabel(const ButtonChoice& choice) {
  std::string label = choice.label;
  if (label == "OK" || label == "Cancel") return label;
  return "_" + label;
}

struct BoxButton {
  GtkWidget* widget;
  std::string label;
  int32_t answer;
};

// Everything the running box needs; lives on the stack of ShowGtkMessageBox.
struct Box {
  GtkWidget* dialog = nullptr;
  GtkWidget* image = nullptr;
  GtkWidget* promptLabel = nullptr;
  GtkWidget* helpLabel = nullptr;
  std::vector<BoxButton> buttons;
  std::string title;
  std::string prompt;
  std::string helpText;
  bool rightToLeft = false;
  bool closable = true;
  std::string iconName;
  bool reportPending = true;
  guint reportSource = 0;
};

ScreenRect ScreenRectOf(GtkWidget* widget, GtkWidget* toplevel) {
  ScreenRect rect;
  GtkAllocation allocation;
  gtk_widget_get_allocation(widget, &allocation);
  GtkAllocation toplevelAllocation;
  gtk_widget_get_allocation(toplevel, &toplevelAllocation);
  int x = 0;
  int y = 0;
  gtk_widget_translate_coordinates(widget, toplevel, 0, 0, &x, &y);
  gdk_window_get_root_coords(gtk_widget_get_window(toplevel), x + toplevelAllocation.x,
                             y + toplevelAllocation.y, &rect.x, &rect.y);
  rect.width = allocation.width;
  rect.height = allocation.height;
  return rect;
}

// Where the prompt's text itself sits, which shows its alignment within the text area.
ScreenRect TextRectOf(GtkWidget* label, GtkWidget* toplevel) {
  ScreenRect area = ScreenRectOf(label, toplevel);
  GtkAllocation allocation;
  gtk_widget_get_allocation(label, &allocation);
  int offsetX = 0;
  int offsetY = 0;
  gtk_label_get_layout_offsets(GTK_LABEL(label), &offsetX, &offsetY);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(gtk_label_get_layout(GTK_LABEL(label)), nullptr, &logical);
  return {area.x + offsetX + logical.x - allocation.x, area.y + offsetY + logical.y - allocation.y,
          logical.width, logical.height};
}

unsigned long WindowIdOf(GtkWidget* dialog) {
#ifdef GDK_WINDOWING_X11
  GdkWindow* window = gtk_widget_get_window(dialog);
  if (window != nullptr && GDK_IS_X11_WINDOW(window)) return gdk_x11_window_get_xid(window);
#endif
  (void)dialog;
  return 0;
}

ShownBox DescribeBox(const Box& box) {
  ShownBox shown;
  shown.windowId = WindowIdOf(box.dialog);
  shown.title = box.title;
  shown.prompt = box.prompt;
  shown.helpText = box.helpText;
  shown.rightToLeft = box.rightToLeft;
  shown.iconName = box.iconName;
  if (box.image != nullptr) shown.icon = ScreenRectOf(box.image, box.dialog);
  shown.textArea = ScreenRectOf(box.promptLabel, box.dialog);
  shown.text = TextRectOf(box.promptLabel, box.dialog);
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(box.dialog));
  for (const BoxButton& button : box.buttons) {
    ShownButton described;
    described.label = button.label;
    described.answer = button.answer;
    described.rect = ScreenRectOf(button.widget, box.dialog);
    described.isDefault = gtk_widget_has_default(button.widget);
    described.hasFocus = button.widget == focus;
    shown.buttons.push_back(described);
  }
  return shown;
}

gboolean ReportShownBox(gpointer data) {
  Box& box = *static_cast<Box*>(data);
  box.reportSource = 0;
  // The drawing has been flushed; wait until the server has done it, so that whoever looks at
  // the screen next sees the box.
  gdk_display_sync(gtk_widget_get_display(box.dialog));
  ShownBoxObserver observer;
  {
    std::lock_guard<std::mutex> lock(observerMutex);
    observer = shownBoxObserver;
  }
  if (observer) observer(DescribeBox(box));
  return G_SOURCE_REMOVE;
}

gboolean OnDrawn(GtkWidget*, cairo_t*, gpointer data) {
  Box& box = *static_cast<Box*>(data);
  if (box.reportPending && box.reportSource == 0) {
    box.reportPending = false;
    box.reportSource = g_idle_add_full(G_PRIORITY_LOW, ReportShownBox, &box, nullptr);
  }
  return FALSE;
}

// Escape closes a box only where the desktop's box lets it: one with a Cancel button or a
// single button.
gboolean OnKeyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
  const Box& box = *static_cast<const Box*>(data);
  return event->keyval == GDK_KEY_Escape && !box.closable;
}

void SetDirectionDeep(GtkWidget* widget, gpointer direction) {
  gtk_widget_set_direction(widget, static_cast<GtkTextDirection>(GPOINTER_TO_INT(direction)));
  if (GTK_IS_CONTAINER(widget))
    gtk_container_forall(GTK_CONTAINER(widget), SetDirectionDeep, direction);
}

void AddContent(Box& box, int32_t style) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(row), 12);
  if (const char* icon = IconNameOfStyle(style)) {
    box.iconName = icon;
    box.image = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(box.image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), box.image, FALSE, FALSE, 0);
  }
  GtkWidget* texts = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_widget_set_size_request(texts, 260, -1);
  box.promptLabel = gtk_label_new(box.prompt.c_str());
  box.helpLabel = gtk_label_new(nullptr);
  // The text goes to the right edge when the style asks for it, and always in right-to-left
  // reading, where the right edge is where a line starts. The label mirrors its alignment in
  // right-to-left, so both are given relative to the start of a line.
  bool atLineEnd = (style & kTextRight) != 0 && !box.rightToLeft;
  for (GtkWidget* label : {box.promptLabel, box.helpLabel}) {
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
    gtk_label_set_xalign(GTK_LABEL(label), atLineEnd ? 1.0F : 0.0F);
    gtk_label_set_justify(GTK_LABEL(label), atLineEnd ? GTK_JUSTIFY_RIGHT : GTK_JUSTIFY_LEFT);
    gtk_widget_set_hexpand(label, TRUE);
    gtk_box_pack_start(GTK_BOX(texts), label, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(row), texts, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box.dialog))), row, TRUE, TRUE,
                     0);
  gtk_widget_show_all(row);
  gtk_widget_hide(box.helpLabel);
}

void AddButtons(Box& box, int32_t style) {
  std::vector<ButtonChoice> choices = ButtonsOfStyle(style);
  bool hasCancel = false;
  for (const ButtonChoice& choice : choices) {
    GtkWidget* widget =
        gtk_dialog_add_button(GTK_DIALOG(box.dialog), MnemonicLabel(choice).c_str(), choice.answer);
    box.buttons.push_back({widget, choice.label, choice.answer});
    hasCancel = hasCancel || choice.answer == kAnswerCancel;
  }
  if ((style & kHelpButton) != 0) {
    GtkWidget* help = gtk_dialog_add_button(GTK_DIALOG(box.dialog), "Help", GTK_RESPONSE_HELP);
    box.buttons.push_back({help, "Help", 0});
  }
  box.closable = hasCancel || choices.size() == 1;
  gtk_window_set_deletable(GTK_WINDOW(box.dialog), box.closable);

  // The default button is counted over every button shown, Help included, as on the desktop.
  size_t defaultIndex = static_cast<size_t>((style >> kDefaultButtonShift) & 0xF);
  if (defaultIndex >= box.buttons.size()) defaultIndex = 0;
  GtkWidget* defaultButton = box.buttons[defaultIndex].widget;
  gtk_widget_set_can_default(defaultButton, TRUE);
  gtk_widget_grab_default(defaultButton);
  gtk_widget_grab_focus(defaultButton);
}

void BuildDialog(Box& box, int32_t style) {
  box.dialog = gtk_dialog_new();
  g_object_ref_sink(box.dialog);
  GtkWindow* window = GTK_WINDOW(box.dialog);
  gtk_window_set_title(window, box.title.c_str());
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(window, TRUE);
  AddContent(box, style);
  AddButtons(box, style);
  if (box.rightToLeft)
    SetDirectionDeep(box.dialog, GINT_TO_POINTER(static_cast<int>(GTK_TEXT_DIR_RTL)));
  g_signal_connect_after(box.dialog, "draw", G_CALLBACK(OnDrawn), &box);
  g_signal_connect(box.dialog, "key-press-event", G_CALLBACK(OnKeyPressed), &box);
}

void ShowHelp(Box& box, const std::string& helpFile, int32_t helpContext) {
  box.helpText = helpFile.empty() ? std::string("No help is available for this message.")
                                  : "Help: " + helpFile + ", topic " + std::to_string(helpContext);
  gtk_label_set_text(GTK_LABEL(box.helpLabel), box.helpText.c_str());
  gtk_widget_show(box.helpLabel);
  box.reportPending = true;
  gtk_widget_queue_draw(box.dialog);
}

// The answer of a box closed without a button: Cancel where there is one, else the first
// button's.
int32_t CloseAnswer(const Box& box) {
  for (const BoxButton& button : box.buttons)
    if (button.answer == kAnswerCancel) return kAnswerCancel;
  return box.buttons.front().answer;
}

int32_t RunDialog(Box& box, const std::string& helpFile, int32_t helpContext) {
  while (true) {
    int response = gtk_dialog_run(GTK_DIALOG(box.dialog));
    if (response == GTK_RESPONSE_HELP) {
      ShowHelp(box, helpFile, helpContext);
      continue;
    }
    if (response > 0) return response;
    return CloseAnswer(box);
  }
}

void DestroyDialog(Box& box) {
  if (box.reportSource != 0) g_source_remove(box.reportSource);
  box.reportSource = 0;
  gtk_widget_destroy(box.dialog);
  g_object_unref(box.dialog);
  box.dialog = nullptr;
  // Let the window leave the screen before the caller goes on.
  while (gtk_events_pending()) gtk_main_iteration();
}

// An empty title shows the application's name, as the desktop's box does.
std::string ApplicationName() {
  const char* name = g_get_application_name();
  return name != nullptr ? name : "ORVEX";
}

bool DesktopAvailable() {
  std::lock_guard<std::mutex> lock(sessionMutex);
  if (sessionStarted) return sessionThread == std::this_thread::get_id();
  if (!DisplayNamed()) return false;
  // The client's locale settings are its own: GTK must not switch the process to the
  // environment's locale, which would change how numbers are written everywhere.
  static bool localeKept = false;
  if (!localeKept) gtk_disable_setlocale();
  localeKept = true;
  if (!gtk_init_check(nullptr, nullptr)) return false;
  sessionStarted = true;
  sessionThread = std::this_thread::get_id();
  return true;
}

// Called only after DesktopAvailable() answered true on this thread.
int32_t ShowDialog(const std::string& prompt, int32_t style, const std::string& title,
                   const std::string& helpFile, int32_t helpContext) {
  Box box;
  box.prompt = prompt;
  box.title = title.empty() ? ApplicationName() : title;
  box.rightToLeft = (style & kRtlReading) != 0;
  BuildDialog(box, style);
  int32_t answer = RunDialog(box, helpFile, helpContext);
  DestroyDialog(box);
  return answer;
}

const GtkModule kModule = {kGtkModuleVersion, DesktopAvailable, ShowDialog, SetObserver};

}  // namespace
}  // namespace orvex::host

extern "C" __attribute__((visibility("default"))) const orvex::host::GtkModule* orvex_gtk_module() {
  return &orvex::host::kModule;
}
