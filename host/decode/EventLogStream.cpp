#include "host/decode/EventLogStream.h"

#include <algorithm>
#include <sstream>

#include "drivekit/features/decode/JsonSink.h"
#include "drivekit/features/decode/TextSink.h"
#include "drivekit/features/decode/XmlSink.h"
#include "drivekit/features/decode/XmlTreePrinter.h"
#include "drivekit/features/nvme_get_log/pel/PelRecords.h"
#include "drivekit/features/nvme_get_log/pel/PelWrappers.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventWalk.h"
#include "host/decode/PackageDecoder.h"
#include "host/decode/ParallelEventRenderer.h"

namespace host {

namespace {

namespace pel = drivekit::features::nvme_get_log::pel;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::xml::XmlObject;
using drivekit::features::decode::TextOutputSink;
using drivekit::features::decode::JsonSink;
using drivekit::features::decode::TextSink;
using drivekit::features::decode::XmlSink;
using drivekit::features::decode::XmlTreePrinter;

// The events' place in the section: the section is printed with one placeholder event, and
// the real events go where it shows. The placeholder is the section's last object, so its
// last occurrence is the place whatever the log's header holds.
const char* const placeholderName = "Events of the log";
// Depths of an event in the printed section: text under the log's root line; JSON within the
// section's and then the root's "objects".
constexpr unsigned textLevel = 1;
constexpr unsigned jsonLevel = 5;

void render(const XmlObject& event, const std::string& output, std::string& out) {
    if (output == "json") {
        XmlTreePrinter::appendJson(event, jsonLevel, out);
    } else if (output == "xml") {
        event.serialize(out);
    } else {
        XmlTreePrinter::appendText(event, textLevel, out);
    }
}

// Writes the events straight from the field tables, as the printers would show their tree.
std::unique_ptr<TextOutputSink> eventSink(const std::string& output) {
    if (output == "json") {
        return std::make_unique<JsonSink>(jsonLevel);
    }
    if (output == "xml") {
        return std::make_unique<XmlSink>();
    }
    return std::make_unique<TextSink>(textLevel);
}

// The whole section with the placeholder, split at it.
std::pair<std::string, std::string> sectionAround(const std::string& shown, FileDecode& outcome,
                                                  const std::string& output, bool first) {
    const XmlObject placeholder(placeholderName);
    std::string place;
    render(placeholder, output, place);
    outcome.tree->addObject(std::make_unique<XmlObject>(placeholderName));
    std::ostringstream section;
    printSection(shown, outcome, output, first, section);
    const std::string text = section.str();
    const std::size_t at = text.rfind(place);
    return {text.substr(0, at), text.substr(at + place.size())};
}

}  // namespace

bool streamEventLog(PackageReader& reader, std::size_t index,
                    const drivekit::features::nvme_get_log::decode::PageContext& page, const std::string& shown,
                    const std::string& output, bool first, std::ostream& out, FileDecode& outcome) {
    const EntryContents head = reader.read(index, pel::logHeaderBytes);
    if (!head.error.empty() || head.bytes.size() < pel::logHeaderBytes) {
        return false;
    }
    const Payload header(head.bytes.data(), head.bytes.size());
    const uint64_t used = drivekit::features::nvme_get_log::decode::logPageBytesUsed(page, header);
    const uint64_t logBytes = std::min(head.size, used);
    const uint32_t totalEvents = header.safeCast<pel::PersistentEventLogHeader>()->totalNumberOfEvents;

    // The section's head comes before the events and says whether the log is whole: a first
    // walk checks the framing alone, decoding nothing.
    pel::PersistentEventWalk framing(totalEvents, logBytes, nullptr);
    std::string error = reader.readInPieces(
        index, logBytes, [&framing](const uint8_t* bytes, std::size_t count) { framing.feed(bytes, count); });
    if (!error.empty()) {
        outcome = {FileDecode::Result::damaged, nullptr, "cannot read it: " + error};
        printSection(shown, outcome, output, first, out);
        return true;
    }
    Status status;
    auto root = pel::persistentEventLogRoot(header, status);
    if (const std::string& cut = framing.finish(); !cut.empty()) {
        pel::addTruncated(*root, cut);
    }
    outcome = logPageOutcome(page, std::move(root), status, logBytes);
    noteRestIgnored(outcome, used, head.size);
    if (framing.eventsMet() == 0) {
        printSection(shown, outcome, output, first, out);
        return true;
    }
    const auto [before, after] = sectionAround(shown, outcome, output, first);
    out << before;
    // The events are written by the cores side by side, and printed in the log's order.
    ParallelEventRenderer events([&output] { return eventSink(output); }, ParallelEventRenderer::threadsToUse(),
                                 out);
    pel::PersistentEventWalk walk(totalEvents, logBytes, events);
    // Once the output cannot be written, the rest of the log is not decoded for it.
    error = reader.readInPieces(index, logBytes, [&walk, &out](const uint8_t* bytes, std::size_t count) {
        if (out) {
            walk.feed(bytes, count);
        }
    });
    walk.finish();
    events.finish();
    out << after;
    outcome.tree.reset();
    if (!error.empty()) {
        outcome = {FileDecode::Result::damaged, nullptr, "cannot read it: " + error};
    }
    return true;
}

}  // namespace host
