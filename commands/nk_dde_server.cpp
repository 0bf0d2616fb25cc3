// commands/nk_dde_server.cpp -- the request server of nk_dde_server.h: its
// start and stop, the verbs of the line protocol, the advise loops and the
// debug log. Each verb stands for a DDE transaction and logs under its name:
// EXEC for XTYP_EXECUTE, REQUEST for XTYP_REQUEST, ADVISE and UNADVISE for
// XTYP_ADVSTART and XTYP_ADVSTOP, a pushed update for XTYP_ADVREQ, a refused
// topic for XTYP_CONNECT and a closed connection for XTYP_DISCONNECT. The
// texts themselves are composed in nk_dde_texts.cpp; the socket, the line
// cutting, the queue and the limits are platform/nk_local_server.cpp's.
#include "commands/nk_dde_server.h"

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "commands/nk_command.h"
#include "core/nk_message.h"
#include "platform/nk_local_server.h"

uint8_t bDdeEnabled = 0;
uint8_t bDdeDebug = 0;

namespace {

const char *const kService = "Quolin";
// The "data" items in the order a pick pushes them.
const char *const kItems[] = {"notify",          "pick_part_num", "pick_polygon_num",
                              "pick_vertex_num", "sound_setup",   "sound_update"};
const int kNumItems = 6;
const int kSoundSetupItem = 4;
const int kSoundUpdateItem = 5;

std::unique_ptr<NKLocalServer> sg_pServer;
std::map<int, unsigned> sg_Advises;  // connection -> bit per advised item
int sg_iIdleLimitMs = NK_LOCAL_IDLE_LIMIT_MS;

void LogInfo(const char *pszFunction, const NKString &message)
{
    NKDDELogInfo(pszFunction, message.GetText());
}

void LogError(const char *pszFunction, const NKString &message)
{
    NKDDELogError(pszFunction, message.GetText());
}

int ItemIndex(const std::string &item)
{
    for (int i = 0; i < kNumItems; i++)
        if (item == kItems[i]) return i;
    return -1;
}

// The words of a line, split at blanks and tabs.
std::vector<std::string> Words(const std::string &line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        size_t iStart = line.find_first_not_of(" \t", i);
        if (iStart == std::string::npos) break;
        size_t iEnd = line.find_first_of(" \t", iStart);
        if (iEnd == std::string::npos) iEnd = line.size();
        words.push_back(line.substr(iStart, iEnd - iStart));
        i = iEnd;
    }
    return words;
}

// Topics other than "cmd" and "data" are refused as a DDE connection would be.
bool TopicKnown(const std::string &topic)
{
    if (topic == "cmd" || topic == "data") return true;
    LogError("dde->XTYP_CONNECT",
             NKString::FromFormat("Just refused a connection because of topic. (Topic %s not "
                                  "supported)",
                                  topic.c_str()));
    return false;
}

// A request or an advise names a known topic, "data", and an item; false
// (logged under pszName, pszUnsupported taking the topic) when it does not.
bool DataItemNamed(const char *pszName, const std::string &topic, const std::string &item,
                   const char *pszUnsupported)
{
    if (!TopicKnown(topic)) return false;
    if (topic != "data") {
        LogError(pszName, NKString::FromFormat(pszUnsupported, topic.c_str()));
        return false;
    }
    if (item.empty()) {
        LogInfo(pszName, "Item name was empty");
        return false;
    }
    return true;
}

// "EXEC <command line>": the rest of the line runs whole.
std::string Execute(const std::string &line)
{
    const char *pszName = "dde->XTYP_EXECUTE";
    size_t iVerbEnd = line.find_first_of(" \t", line.find_first_not_of(" \t"));
    size_t iStart =
        iVerbEnd == std::string::npos ? std::string::npos : line.find_first_not_of(" \t", iVerbEnd);
    if (iStart == std::string::npos) {
        LogError(pszName, "Command string was empty");
        return "NAK";
    }
    std::string command = line.substr(iStart);
    LogInfo(pszName,
            NKString::FromFormat("Received command: %s (original command string length %i)",
                                 command.c_str(), static_cast<int>(command.size())));
    return ExecuteCommand(command.c_str()) == NK_CMD_DONE ? "ACK" : "NAK";
}

// "REQUEST <topic> <item>": only "notify" on "data" has a text to request.
std::string Request(const std::string &topic, const std::string &item)
{
    const char *pszName = "dde->XTYP_REQUEST";
    if (!DataItemNamed(pszName, topic, item,
                       "Data request submitted on unsupported topic (Topic: %s)"))
        return "NAK";
    LogInfo(pszName, NKString::FromFormat("Servicing data request on item: %s (original len %i)",
                                          item.c_str(), static_cast<int>(item.size())));
    if (item != "notify") {
        LogError(pszName, NKString::FromFormat("Request on item:%s not supported", item.c_str()));
        return "NAK";
    }
    LogInfo(pszName, "Returning actual notify information");
    return "DATA " + NKDDEEscapeLine(NKDDEGetItemText("notify").GetText());
}

// "ADVISE" / "UNADVISE <topic> <item>": checked as an advise start.
std::string Advise(int iConnection, const std::string &topic, const std::string &item, bool bStart)
{
    const char *pszName = bStart ? "dde->XTYP_ADVSTART" : "dde->XTYP_ADVSTOP";
    if (!DataItemNamed(pszName, topic, item,
                       "Advice loop requested on unsupported topic (Topic: %s)"))
        return "NAK";
    int iItem = ItemIndex(item);
    if (iItem < 0) {
        LogError(pszName, NKString::FromFormat("Advice loop on item:%s not supported (Topic: %s)",
                                               item.c_str(), topic.c_str()));
        return "NAK";
    }
    if (bStart) {
        sg_Advises[iConnection] |= 1u << iItem;
        LogInfo(pszName, NKString::FromFormat("Advice loop on item: %s established (Topic: %s)",
                                              item.c_str(), topic.c_str()));
    } else {
        auto it = sg_Advises.find(iConnection);
        if (it != sg_Advises.end() && (it->second &= ~(1u << iItem)) == 0) sg_Advises.erase(it);
        LogInfo(pszName, NKString::FromFormat("Ending advice loop on item:%s (Topic:%s)",
                                              item.c_str(), topic.c_str()));
    }
    return "ACK";
}

// The text an advise of the item carries, logged as the advise request.
NKString AdviseText(int iItem)
{
    const char *pszName = "dde->XTYP_ADVREQ";
    static const char *const kLogs[] = {nullptr,
                                        "Returning pick information (Parts)\n  -- Data: %s",
                                        "Returning pick information (Polygons)\n  -- Data: %s",
                                        "Returning pick information (Vertices)\n  -- Data: %s",
                                        "Returning sound_setup information\n  -- Data: %s",
                                        "Returning sound_update information\n  -- Data: %s"};
    if (iItem == 0) {
        LogInfo(pszName, "Honoring advise loop on notify item, but returning no data");
        return "";
    }
    NKString text = NKDDEGetItemText(kItems[iItem]);
    LogInfo(pszName, NKString::FromFormat(kLogs[iItem], text.GetText()));
    return text;
}

// Pushes the items of uMask to every connection that advised them.
void PostAdvise(unsigned uMask)
{
    if (!sg_pServer || !sg_pServer->IsListening()) return;
    std::map<int, unsigned> advises = sg_Advises;  // a send may end a connection
    for (int i = 0; i < kNumItems; i++) {
        if ((uMask & (1u << i)) == 0) continue;
        std::string line;
        bool bComposed = false;
        for (const auto &entry : advises) {
            if ((entry.second & (1u << i)) == 0) continue;
            if (!bComposed) {
                line = std::string("ADV ") + kItems[i] + " " +
                       NKDDEEscapeLine(AdviseText(i).GetText());
                bComposed = true;
            }
            sg_pServer->Send(entry.first, line);
        }
    }
}

std::string OnRequest(void *, int iConnection, const std::string &line, bool bTooLong)
{
    return NKDDEAnswerRequest(iConnection, line, bTooLong);
}

// A request waits while a command runs, so requests never nest.
bool OnBusy(void *) { return g_CommandRunner.iCommandLevel > 0; }

void OnClosed(void *, int iConnection) { NKDDEConnectionClosed(iConnection); }

bool OnMayClose(void *, int iConnection) { return NKDDEMayCloseConnection(iConnection); }

}  // namespace

std::string NKDDEAnswerRequest(int iConnection, const std::string &line, bool bTooLong)
{
    if (bTooLong || line.find('\0') != std::string::npos) return "NAK";
    std::vector<std::string> words = Words(line);
    if (words.empty()) return "NAK";
    const std::string &verb = words[0];
    if (verb == "EXEC") return Execute(line);
    bool bData = verb == "REQUEST" || verb == "ADVISE" || verb == "UNADVISE";
    if (!bData || words.size() < 2 || words.size() > 3) return "NAK";
    std::string item = words.size() == 3 ? words[2] : std::string();
    if (verb == "REQUEST") return Request(words[1], item);
    return Advise(iConnection, words[1], item, verb == "ADVISE");
}

void NKDDEConnectionClosed(int iConnection)
{
    sg_Advises.erase(iConnection);
    NKDDELogInfo("dde->XTYP_DISCONNECT", "Conversation partner terminated connection");
}

// An idle connection may make room for a new client unless it holds an
// advise loop: its client waits for pushed updates, not idling.
bool NKDDEMayCloseConnection(int iConnection)
{
    auto it = sg_Advises.find(iConnection);
    return it == sg_Advises.end() || it->second == 0;
}

int NKDDEGetNumConnections(void) { return sg_pServer ? sg_pServer->GetNumConnections() : 0; }

int NKDDEGetNumWaitingRequests(void)
{
    return sg_pServer ? sg_pServer->GetNumWaitingRequests() : 0;
}

void NKDDESetIdleLimit(int iMilliseconds)
{
    sg_iIdleLimitMs = iMilliseconds;
    if (sg_pServer) sg_pServer->SetIdleLimit(iMilliseconds);
}

bool NKDDEInitialize(void)
{
    const char *pszName = "NKDDEInitialize()";
    NKDDELogInfo(pszName, "Trying to register application with DDEML...");
    std::string path = NKLocalServerDefaultPath(kService);
    std::string error = "No runtime folder for the request socket";
    if (!sg_pServer) {
        NKLocalServerHandler handler;
        handler.pfnRequest = OnRequest;
        handler.pfnBusy = OnBusy;
        handler.pfnClosed = OnClosed;
        handler.pfnMayClose = OnMayClose;
        sg_pServer.reset(new NKLocalServer(handler));
    }
    sg_pServer->SetIdleLimit(sg_iIdleLimitMs);
    if (!path.empty() && sg_pServer->Listen(path.c_str(), &error)) {
        LogInfo(pszName, NKString::FromFormat("Registered service name: %s", kService));
        return true;
    }
    NKPrintError(("Cannot start the request server: " + error).c_str());
    LogError(pszName, NKString::FromFormat("Failed to register service name: %s", kService));
    return false;
}

bool NKDDEClose(void)
{
    NKDDELogInfo("NKDDEClose()", "Closing connection to DDEML server");
    if (sg_pServer) sg_pServer->Close();
    sg_Advises.clear();
    NKDDEStorePick(nullptr);
    return true;
}

void NKSetDdeDebug(bool bOn) { bDdeDebug = bOn ? 1 : 0; }

bool NKDDEPostPickAdvise(const NKPickInfo *pPick)
{
    NKDDEStorePick(pPick);
    PostAdvise((1u << kNumItems) - 1);
    return true;
}

bool NKDDESetSoundSetupText(const NKString &text)
{
    NKDDEStoreSoundText(true, text);
    PostAdvise(1u << kSoundSetupItem);
    return true;
}

bool NKDDESetSoundUpdateText(const NKString &text)
{
    NKDDEStoreSoundText(false, text);
    PostAdvise(1u << kSoundUpdateItem);
    return true;
}

void NKDDELogInfo(const char *pszFunction, const char *pszMessage)
{
    if (bDdeDebug == 0) return;
    NKString name(pszFunction != nullptr ? pszFunction : "");
    name.Trim();
    NKString text = name.IsEmpty() ? NKString("") : name + ":: ";
    NKPrintInfo((text + pszMessage).GetText());
}

void NKDDELogError(const char *pszFunction, const char *pszMessage)
{
    if (bDdeDebug == 0) return;
    NKString name(pszFunction != nullptr ? pszFunction : "");
    name.Trim();
    NKString text = name.IsEmpty() ? NKString("!! ") : NKString("!! ") + name + ":: ";
    NKPrintError((text + pszMessage).GetText());
}
