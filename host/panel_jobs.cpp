#include "panel_jobs.h"

#include "bmp_writer.h"
#include "pictures.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <cstdio>

namespace host {
namespace {

constexpr int kOptionsTemplate = 9;
constexpr int kOptionsClose = 8;
constexpr int kImageCorrectionSection = 1050;
constexpr int kImageCorrectionTemplate = 111;
constexpr int kOverlaySection = 1056;
constexpr int kOverlayTemplate = 117;
constexpr int kPanelClose = 1045;

// Opens the options window and the panel of a section whose button the
// window keeps hidden: the command reaches the window all the same.
platform::Window openPanel(HostSession& session, int sectionButton, int panelTemplate) {
  session.control(ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  platform::Window options = platform::headless::findDialog(kOptionsTemplate);
  if (options == nullptr) return nullptr;
  platform::sendMessage(options, platform::WM_COMMAND, platform::makeWParam(static_cast<unsigned>(sectionButton), platform::BN_CLICKED), 0);
  return platform::headless::findDialog(panelTemplate);
}

void closePanelAndWindow(platform::Window panel) {
  if (panel != nullptr) platform::headless::clickButton(panel, kPanelClose);
  if (platform::Window options = platform::headless::findDialog(kOptionsTemplate))
    platform::headless::clickButton(options, kOptionsClose);
}

bool savePreview(HostSession& session, const CaptureOptions& options, const std::string& name) {
  const auto frame = session.displayedFrameAfter(0.5);
  if (!frame) return session.outcome().refused("no new frame was displayed");
  const std::string path = inFolder(options.outputFolder, name);
  if (!saveBottomUpPicture(frame->pixels, frame->width, frame->height, frame->bytesPerPixel, path))
    return session.outcome().fileFailed("could not write " + path);
  session.outcome().wrote(path);
  return true;
}

std::string status(platform::Window panel, int id) { return platform::headless::controlInfo(panel, id).text; }

} // namespace

bool runCorrections(HostSession& session, const CaptureOptions& options) {
  if (!session.openDisplay()) return false;
  const int camera = session.simulatedCamera();
  bool ok = savePreview(session, options, "preview-uncorrected.png");

  platform::Window panel = openPanel(session, kImageCorrectionSection, kImageCorrectionTemplate);
  if (panel == nullptr) return session.outcome().refused("the image correction panel did not open");
  // The prompts ("close all lights", "place the camera towards the
  // background") are answered OK by the platform's default answer.
  vzsim::setScene(camera, vzsim::Scene::Covered);
  session.displayedFrameAfter(0.2);  // frames of the new scene reach the driver
  platform::headless::clickButton(panel, 1106);  // dark frame: Grab new frame
  std::printf("  dark frame: %s\n", status(panel, 1105).c_str());
  vzsim::setScene(camera, vzsim::Scene::Flat);
  session.displayedFrameAfter(0.2);  // frames of the new scene reach the driver
  platform::headless::clickButton(panel, 1107);  // background: Grab new frame
  std::printf("  background: %s\n", status(panel, 1108).c_str());
  vzsim::setScene(camera, vzsim::Scene::Chart);
  platform::headless::clickButton(panel, 1066);  // Use dark frame subtraction
  platform::headless::clickButton(panel, 1065);  // Use background correction
  ok = savePreview(session, options, "preview-corrected.png") && ok;
  closePanelAndWindow(panel);
  return ok;
}

bool runOverlay(HostSession& session, const CaptureOptions& options, const std::string& bitmap) {
  std::string overlayPath = bitmap;
  if (overlayPath.empty()) {
    overlayPath = inFolder(options.outputFolder, "overlay.bmp");
    const std::string alphaPath = inFolder(options.outputFolder, "overlay-alpha.bmp");
    if (!writeDemoOverlay(overlayPath, alphaPath))
      return session.outcome().fileFailed("could not write the demonstration overlay " + overlayPath);
    session.outcome().wrote(overlayPath);
    session.outcome().wrote(alphaPath);
  }
  if (!selectPreviewMode(session, options) || !session.openDisplay()) return false;
  platform::Window panel = openPanel(session, kOverlaySection, kOverlayTemplate);
  if (panel == nullptr) return session.outcome().refused("the overlay panel did not open");
  platform::headless::queueOpenFileAnswer(overlayPath);
  platform::headless::clickButton(panel, 1029);  // Open File
  std::printf("  overlay file: %s\n", status(panel, 1028).c_str());
  platform::headless::clickButton(panel, 1066);  // position: middle, centre
  platform::headless::clickButton(panel, 1030);  // Use alpha blending
  platform::headless::clickButton(panel, 1031);  // Value :
  platform::headless::typeText(panel, 1032, "70");
  platform::headless::clickButton(panel, 1038);  // Apply
  platform::headless::clickButton(panel, 1027);  // Use bitmap overlay
  platform::headless::clickButton(panel, 1035);  // On Preview
  platform::headless::clickButton(panel, 1036);  // On Capture
  bool ok = savePreview(session, options, "preview-overlay.png");
  closePanelAndWindow(panel);

  CaptureOptions capture = options;
  capture.captureName = "capture-overlay";
  capture.previewMode = -1;  // selected above
  return runCapture(session, capture) && ok;
}

} // namespace host
