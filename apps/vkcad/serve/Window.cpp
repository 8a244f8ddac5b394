#include "apps/vkcad/serve/Window.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <random>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "apps/vkcad/Session.h"
#include "apps/vkcad/serve/Bridge.h"
#include "apps/vkcad/serve/Editor.h"
#include "apps/vkcad/serve/PageAssets.h"
#include "host/ed/AcEdJig.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/Transcript.h"
#include "host/ui/DialogViews.h"

namespace vkcad::serve {

namespace {

using json = nlohmann::json;

std::string NewSecret()
{
    std::random_device rd;
    std::string s;
    static const char hex[] = "0123456789abcdef";
    for (int i = 0; i < 32; ++i) s += hex[rd() % 16];
    return s;
}

// Compares without stopping at the first difference, so that timing tells nothing.
bool SameSecret(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

bool ParseDouble(const httplib::Request& req, const char* name, double& v)
{
    if (!req.has_param(name)) return false;
    const std::string s = req.get_param_value(name);
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end && *end == 0 && !s.empty() && std::isfinite(v);
}

// "x,y" of a point or motion line.
bool LinePoint(const std::string& text, double& x, double& y)
{
    std::string t = text.rfind("!move ", 0) == 0 ? text.substr(6) : text;
    char tail = 0;
    return std::sscanf(t.c_str(), "%lf,%lf%c", &x, &y, &tail) == 2 ||
           std::sscanf(t.c_str(), "%lf,%lf,%*f%c", &x, &y, &tail) == 2;
}

}  // namespace

struct Window::Impl {
    Bridge bridge;
    httplib::Server server;
    std::thread serverThread, signalThread;
    std::string secret = NewSecret();
    int port = 0;
    std::atomic<bool> stopping{false};

    // Editor side.
    int lineNo = 0;
    int interrupts = 0;
    bool quitting = false;   // Ctrl-C once: unwind and QUIT
    bool inputEnded = false;
    double anchorX = 0, anchorY = 0;  // where the jig's outline was drawn
    std::string lineSoFar;   // the transcript's unfinished line, for the wait line
    std::string lastLine;    // its last whole line that is not empty
    std::string waitText;    // the text of the wait being shown, without its step

    bool Allowed(const httplib::Request& req) const
    {
        const std::string self = "127.0.0.1:" + std::to_string(port), local = "localhost:" + std::to_string(port);
        const std::string host = req.get_header_value("Host");
        if (host != self && host != local) return false;  // another name for this machine: refused
        if (req.has_header("Origin")) {
            const std::string origin = req.get_header_value("Origin");
            if (origin != "http://" + self && origin != "http://" + local) return false;
        }
        return req.has_param("s") && SameSecret(req.get_param_value("s"), secret);
    }

    void Routes();
    std::optional<vked::InputLine> Pull();
    void OnTranscript(const CString& text);
};

void Window::Impl::Routes()
{
    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (Allowed(req)) return httplib::Server::HandlerResponse::Unhandled;
        res.status = 403;
        res.set_content("Forbidden: this vkcad session takes requests only from its own page, with its secret.\n",
                        "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_default_headers({{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}});
    server.Get("/", [this](const httplib::Request&, httplib::Response& res) {
        std::string page = PageAsset("index.html");
        for (size_t at; (at = page.find("%SECRET%")) != std::string::npos;) page.replace(at, 8, secret);
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.Get(R"(/(app\.js|style\.css))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string name = req.matches[1];
        res.set_content(PageAsset(name), name.ends_with(".js") ? "text/javascript; charset=utf-8" : "text/css; charset=utf-8");
    });
    server.Get("/events", [this](const httplib::Request&, httplib::Response& res) {
        auto seq = std::make_shared<std::uint64_t>(0);
        res.set_chunked_content_provider("text/event-stream", [this, seq](size_t, httplib::DataSink& sink) {
            std::vector<std::string> events = bridge.eventsAfter(*seq, 10000);
            if (events.empty()) events.push_back(": still here\n\n");
            for (const std::string& e : events)
                if (!sink.write(e.data(), e.size())) return false;
            if (bridge.ended() || stopping) {
                sink.done();
                return true;
            }
            return sink.is_writable();
        });
    });
    server.Post("/input", [this](const httplib::Request& req, httplib::Response& res) {
        json body = json::parse(req.body, nullptr, false);
        if (!body.is_object() || !body.contains("lines") || !body["lines"].is_array()) {
            res.status = 400;
            res.set_content("expected {\"lines\": [...]}\n", "text/plain");
            return;
        }
        const bool silent = body.value("silent", false);
        std::vector<PageLine> lines;
        for (const json& l : body["lines"]) {
            if (!l.is_string()) continue;
            std::string text = l.get<std::string>();
            // One event a line: a line end inside would be two lines the page did not mean.
            for (char& c : text)
                if (c == '\n' || c == '\r') c = ' ';
            lines.push_back(PageLine{text, silent});
        }
        bridge.postLines(std::move(lines));
        res.set_content("{}", "application/json");
    });
    server.Get("/plan.png", [this](const httplib::Request& req, httplib::Response& res) {
        double x1, y1, x2, y2, w, h;
        if (!ParseDouble(req, "x1", x1) || !ParseDouble(req, "y1", y1) || !ParseDouble(req, "x2", x2) ||
            !ParseDouble(req, "y2", y2) || !ParseDouble(req, "w", w) || !ParseDouble(req, "h", h) || w < 1 || h < 1 ||
            w > 8000 || h > 8000) {
            res.status = 400;
            return;
        }
        std::string png;
        bool ok = false;
        if (!bridge.runOnEditor([&] { ok = PlanPng(x1, y1, x2, y2, int(w), int(h), png); }, 30000)) {
            res.status = 503;  // the editor is busy with a command
            return;
        }
        if (!ok) {
            res.status = 404;
            return;
        }
        res.set_content(png, "image/png");
    });
    server.Get("/highlight.json", [this](const httplib::Request&, httplib::Response& res) {
        std::string body;
        if (!bridge.runOnEditor([&] { body = HighlightJson(); }, 30000)) {
            res.status = 503;
            return;
        }
        res.set_content(body, "application/json");
    });
    server.Get("/preview.png", [this](const httplib::Request& req, httplib::Response& res) {
        double dialog, control, w, h;
        if (!ParseDouble(req, "dialog", dialog) || !ParseDouble(req, "control", control) || !ParseDouble(req, "w", w) ||
            !ParseDouble(req, "h", h) || w < 1 || h < 1 || w > 4000 || h > 4000) {
            res.status = 400;
            return;
        }
        std::string png;
        bool ok = false;
        if (!bridge.runOnEditor([&] { ok = PreviewPng(int(dialog), int(control), int(w), int(h), png); }, 30000)) {
            res.status = 503;
            return;
        }
        if (!ok) {
            res.status = 404;
            return;
        }
        res.set_content(png, "image/png");
    });
}

std::optional<vked::InputLine> Window::Impl::Pull()
{
    if (inputEnded) return std::nullopt;
    for (;;) {
        // Ctrl-C once: whatever waits is answered Esc until the command has unwound, then QUIT
        // (which asks about unsaved drawings in the page); twice: the input ends.
        if (quitting) {
            const bool question = vked::IsPromptActive() && vked::InnermostReader() == vked::WaitingReader::kQuestion;
            if (vked::IsPromptActive() && !question) return vked::InputLine{u"<esc>", u"window", ++lineNo};
            if (!vked::IsPromptActive()) {
                quitting = false;
                return vked::InputLine{u"QUIT", u"window", ++lineNo};
            }
        }
        std::optional<PageLine> line = bridge.nextLine(nullptr);
        if (!line) {
            inputEnded = true;
            return std::nullopt;
        }
        if (line->interrupt) {
            interrupts += bridge.takeInterrupts();
            if (interrupts >= 2) {
                inputEnded = true;
                return std::nullopt;
            }
            quitting = true;
            continue;
        }
        double x, y;
        if (LinePoint(line->text, x, y)) anchorX = x, anchorY = y;
        vked::InputLine in{CString::FromUtf8(line->text), u"window", ++lineNo};
        in.silent = line->silent;
        return in;
    }
}

std::string WaitEvent(const std::string& body, std::string& waitText)
{
    // A wait opens with "<wait: TEXT>"; its steps follow as "<wait: TEXT STEP>", where the step
    // (a floor's name, say, which may hold blanks) ends with "i/n": how far along.
    const bool isStep = !waitText.empty() && body.size() > waitText.size() + 1 &&
                        body.compare(0, waitText.size() + 1, waitText + " ") == 0;
    if (!isStep) waitText = body;
    json w = {{"text", waitText}};
    if (isStep) {
        const std::string step = body.substr(waitText.size() + 1);
        const size_t sp = step.rfind(' ');
        int i = 0, n = 0;
        w["step"] = step;
        if (std::sscanf(step.c_str() + (sp == std::string::npos ? 0 : sp + 1), "%d/%d", &i, &n) == 2 && n > 0) {
            w["done"] = i;
            w["of"] = n;
        }
    }
    return w.dump(-1, ' ', false, json::error_handler_t::replace);
}

void Window::Impl::OnTranscript(const CString& text)
{
    const std::string utf8 = text.ToUtf8();
    bridge.appendTranscript(utf8);
    // The wait line goes out as its own event, so that the page shows a progress bar.
    for (char c : utf8) {
        if (c != '\n') {
            lineSoFar += c;
            continue;
        }
        if (!lineSoFar.empty()) lastLine = lineSoFar;
        if (lineSoFar == "<wait done>") {
            waitText.clear();
            bridge.publish("wait", "null");
        } else if (lineSoFar.rfind("<wait: ", 0) == 0 && lineSoFar.ends_with(">")) {
            bridge.publish("wait", WaitEvent(lineSoFar.substr(7, lineSoFar.size() - 8), waitText));
        }
        lineSoFar.clear();
    }
}

Window::Window() : m(std::make_unique<Impl>()) {}

Window::~Window()
{
    m->stopping = true;
    m->bridge.end();
    m->server.stop();
    if (m->serverThread.joinable()) m->serverThread.join();
    if (m->signalThread.joinable()) {
        pthread_kill(m->signalThread.native_handle(), SIGUSR1);
        m->signalThread.join();
    }
}

bool Window::Listen(int port, std::ostream& err)
{
    // Ctrl-C is the session's to answer (as QUIT): no thread takes it but the signal thread.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    m->signalThread = std::thread([this, set] {
        for (int pressed = 0;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0 || sig == SIGUSR1) return;
            m->bridge.interrupt();
            if (++pressed >= 3 && !m->bridge.ended()) {
                // The editor has not come back for input (a long command): end at once.
                std::fputs("vkcad: interrupted three times; ending now\n", stderr);
                std::_Exit(130);
            }
        }
    });
    m->Routes();
    if (port == 0) {
        m->port = m->server.bind_to_any_port("127.0.0.1");
    } else {
        m->port = m->server.bind_to_port("127.0.0.1", port) ? port : -1;
    }
    if (m->port <= 0) {
        err << "vkcad: cannot listen on 127.0.0.1:" << port << "\n";
        return false;
    }
    m->serverThread = std::thread([this] { m->server.listen_after_bind(); });
    return true;
}

std::string Window::Address() const { return "http://127.0.0.1:" + std::to_string(m->port) + "/?s=" + m->secret; }

void Window::Run()
{
    vked::Transcript& t = vked::transcript();
    const vked::Transcript::Sink previous = t.sink();
    t.setSink([this, previous](const CString& text) {
        if (previous) {
            previous(text);
        } else {
            const std::string u = text.ToUtf8();
            std::fwrite(u.data(), 1, u.size(), stdout);
            std::fflush(stdout);
        }
        m->OnTranscript(text);
    });
    vked::inputQueue().setPullSource(
        [this]() -> std::optional<vked::InputLine> {
            m->bridge.setState(StateJson(CString::FromUtf8(m->lastLine)));
            return m->Pull();
        },
        true);
    const vked::JigPreviewSink previousJig = vked::SetJigPreviewSink([this](const AcDbEntity* ent) {
        m->bridge.publish("jig", "{\"anchor\":[" + std::to_string(m->anchorX) + "," + std::to_string(m->anchorY) +
                                     "],\"paths\":" + PathsJson(DrawnEntity(ent)) + "}");
    });
    const vkui::MessageBoxObserver previousBox = vkui::SetMessageBoxObserver([this](const vkui::MessageBoxView& box) {
        json buttons = json::array();
        for (const CString& b : box.buttons) buttons.push_back(b.ToUtf8());
        m->bridge.publish("msgbox", json{{"caption", box.caption.ToUtf8()},
                                         {"text", box.text.ToUtf8()},
                                         {"kind", box.kind.ToUtf8()},
                                         {"buttons", buttons},
                                         {"default", box.defaultButton}}
                                        .dump(-1, ' ', false, json::error_handler_t::replace));
    });

    RunInput();

    vkui::SetMessageBoxObserver(previousBox);
    vked::SetJigPreviewSink(previousJig);
    vked::inputQueue().setPullSource(nullptr);
    t.setSink(previous);
    m->bridge.end();
}

}  // namespace vkcad::serve
