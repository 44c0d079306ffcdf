#!/usr/bin/env python3
"""Drives `scenario-compiler lsp` over pipes through every feature and every
robustness case, as an editor would: framing, lifecycle, diagnostics of a
pair (with notes in the other file), hover, completion, signature help,
symbols, definition, quick fixes, inlay hints (and turning them off),
formatting, the view page, incremental changes, cancellation, a document
of 70 MB, shutdown and exit.

--program may be a command line ("wine build-win64/scenario-compiler.exe");
--quick runs the scripted exchange CI runs under wine."""

import argparse
import json
import os
import queue
import shlex
import subprocess
import sys
import tempfile
import threading
import time


class Server:
    def __init__(self, program):
        self.p = subprocess.Popen(shlex.split(program) + ["lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.messages = queue.Queue()
        self.seen = []
        self.next_id = 0
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.p.stdout
        while True:
            header = b""
            while not header.endswith(b"\r\n\r\n"):
                c = out.read(1)
                if not c:
                    self.messages.put(None)
                    return
                header += c
            length = int([l for l in header.split(b"\r\n") if l.lower().startswith(b"content-length:")][0].split(b":")[1])
            self.messages.put(json.loads(out.read(length).decode("utf-8")))

    def write(self, raw):
        self.p.stdin.write(raw)
        self.p.stdin.flush()

    @staticmethod
    def frame(message):
        body = json.dumps(message).encode("utf-8")
        return b"Content-Length: %d\r\n\r\n" % len(body) + body

    def notify(self, method, params=None):
        self.write(self.frame({"jsonrpc": "2.0", "method": method, "params": params or {}}))

    def send_request(self, method, params=None):
        self.next_id += 1
        self.write(self.frame({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params or {}}))
        return self.next_id

    def wait(self, test, timeout=30, what="a message"):
        for m in self.seen:
            if test(m):
                self.seen.remove(m)
                return m
        end = time.time() + timeout
        while time.time() < end:
            try:
                m = self.messages.get(timeout=max(0.01, end - time.time()))
            except queue.Empty:
                break
            if m is None:
                raise AssertionError("the server closed its output while waiting for " + what)
            if test(m):
                return m
            self.seen.append(m)
        raise AssertionError("no answer in %ss: %s" % (timeout, what))

    def request(self, method, params=None, timeout=30):
        i = self.send_request(method, params)
        return self.wait(lambda m: m.get("id") == i and "method" not in m, timeout, method)

    def diagnostics(self, uri, timeout=30):
        m = self.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri, timeout,
                      "diagnostics of " + uri)
        return m["params"]["diagnostics"]


failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def error_code(answer):
    return answer.get("error", {}).get("code")


def pos(line, character):
    return {"line": line, "character": character}


def doc(uri):
    return {"textDocument": {"uri": uri}}


def at(uri, line, character):
    return {"textDocument": {"uri": uri}, "position": pos(line, character)}


def codes(diagnostics):
    return sorted((d["range"]["start"]["line"], d["severity"], d.get("code")) for d in diagnostics)


def open_doc(server, uri, text, version=1):
    server.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "scenario-description", "version": version, "text": text}})


def find_line(text, part):
    for i, line in enumerate(text.splitlines()):
        if part in line:
            return i, line.index(part)
    raise AssertionError("no line with " + part)


LINE_WITH_MISTAKES = "\r\n".join([
    "[generale]", "lunghezza percorso, 6000", "[curve]", "pendensa, 1200, 8", "cartello_indicatore, 900, (BIVIO)", "[fine]", ""])
SERVICE_WITH_MISTAKES = "\r\n".join([
    "[generale]", "velocita, 0, 80", "segnale, 900, 1, 3, 1, 1, 0, 0, 0, 0, 0, 0",
    "stazione, 2210, 23, 200, 0,0,0, 0,0,0, 4,1,1, 20, 8,20,0, CITTÀ\tVECCHIA", "orologio, 8, 15, 0", "[fine]", ""])


def session(program, examples, folder_uri, quick):
    s = Server(program)
    # Before initialize, a request is refused; framing and JSON faults are answered.
    check(error_code(s.request("textDocument/hover", at("file:///x", 0, 0))) == -32002, "a request before initialize is refused (-32002)")
    s.write(b"Content-Type: x\r\n\r\n")
    check(error_code(s.wait(lambda m: "error" in m and m.get("id") is None, what="a framing fault")) == -32700,
          "a header without Content-Length is answered (-32700)")
    s.write(b"Content-Length: 8\r\n\r\n{\"a\": 1,")
    check(error_code(s.wait(lambda m: "error" in m and m.get("id") is None, what="malformed JSON")) == -32700, "malformed JSON is answered (-32700)")
    init = s.request("initialize", {"processId": None, "rootUri": folder_uri, "initializationOptions": {"inlayHints": True},
                                    "capabilities": {"textDocument": {"completion": {"completionItem": {"snippetSupport": True}}},
                                                     "workspace": {"inlayHint": {"refreshSupport": True}}}})
    caps = init["result"]["capabilities"]
    check(all(k in caps for k in ["hoverProvider", "completionProvider", "signatureHelpProvider", "documentSymbolProvider", "definitionProvider",
                                  "codeActionProvider", "inlayHintProvider", "documentFormattingProvider", "executeCommandProvider"]),
          "initialize announces every feature")
    s.notify("initialized")

    # A pair with mistakes: diagnostics with lines, severities, codes and a note in the other file.
    line_uri, service_uri = folder_uri + "/Mia_linea.txt", folder_uri + "/Mia_Treno-.txt"
    open_doc(s, service_uri, SERVICE_WITH_MISTAKES)
    alone = s.diagnostics(service_uri)
    check(codes(alone)[0] == (0, 1, 101) and "Mia_linea.txt" in alone[0]["message"] and (3, 1, 8) in codes(alone),
          "a service description alone: what is missing, and its own mistakes")
    open_doc(s, line_uri, LINE_WITH_MISTAKES)
    line_diags = s.diagnostics(line_uri)
    check(codes(line_diags) == [(3, 2, "unknown-key")], "line description: the misspelt key word is a warning named unknown-key")
    service_diags = s.diagnostics(service_uri)
    check(codes(service_diags) == [(2, 1, 16), (3, 1, 8)], "service description: the signal on the board's cell (16), the station off the grid (8)")
    conflict = [d for d in service_diags if d.get("code") == 16][0]
    related = conflict.get("relatedInformation", [])
    check(len(related) == 1 and related[0]["location"]["uri"] == line_uri and related[0]["location"]["range"]["start"]["line"] == 4,
          "the conflict's note points into the line description")
    station = [d for d in service_diags if d.get("code") == 8][0]
    check(station["range"] == {"start": pos(3, 10), "end": pos(3, 14)}, "the station's position is underlined exactly")

    # Hover.
    h = s.request("textDocument/hover", at(service_uri, 2, 2))["result"]
    check("FIELDS" in h["contents"]["value"], "hover on a key word: the entry's reference")
    h = s.request("textDocument/hover", at(service_uri, 2, 10))["result"]["contents"]["value"]
    check("km 0.900" in h and "cell 19" in h and "sign board" in h and "cartello_indicatore" in h,
          "hover on a position: kilometres, cell, what stands there and which entry put it there")
    h = s.request("textDocument/hover", at(service_uri, 1, 13))["result"]["contents"]["value"]
    check("stored: 16 × 5 = 80 km/h" in h, "hover on a speed: the stored value")
    h = s.request("textDocument/hover", at(service_uri, 4, 13))["result"]["contents"]["value"]
    check("time: 08:15:00" in h, "hover on a time: hh:mm:ss")

    # Completion and signature help.
    c = s.request("textDocument/completion", at(service_uri, 4, 0))["result"]["items"]
    labels = [i["label"] for i in c]
    stazione = [i for i in c if i["label"] == "stazione"]
    check("segnale" in labels and "[generale]" in labels and "pendenza" not in labels and stazione
          and stazione[0]["textEdit"]["newText"].startswith("stazione, ${1:position}, ${2:kind}, ${3:length}")
          and stazione[0]["insertTextFormat"] == 2, "completion: the service's entries and headers, as snippets with named fields")
    c = s.request("textDocument/completion", at(line_uri, 1, 0))["result"]["items"]
    check("lunghezza percorso" in [i["label"] for i in c] and "pendenza" not in [i["label"] for i in c], "completion: the general section's entries")
    sig = s.request("textDocument/signatureHelp", at(service_uri, 2, 14))["result"]
    check(sig["activeParameter"] == 1 and sig["signatures"][0]["label"].startswith("segnale, posizione, sx"),
          "signature help: every field, the one under the cursor active")

    if not quick:
        # Symbols, definition, fixes, inlay hints, formatting, the page.
        syms = s.request("textDocument/documentSymbol", doc(service_uri))["result"]
        names = [c["name"] for sym in syms for c in sym.get("children", [])]
        check(syms[0]["name"] == "[generale]" and names == ["signal", "CITTÀ\tVECCHIA"], "document symbols: sections, the signal and the station by name")
        d = s.request("textDocument/definition", at(service_uri, 2, 1))["result"]
        check(any(l["uri"] == line_uri and l["range"]["start"]["line"] == 4 for l in d), "definition: from the signal to the sign board it collides with")
        d = s.request("textDocument/definition", at(line_uri, 4, 2))["result"]
        check(any(l["uri"] == service_uri and l["range"]["start"]["line"] == 2 for l in d), "definition: from the note's place to the error")
        actions = s.request("textDocument/codeAction", {"textDocument": {"uri": line_uri}, "range": {"start": pos(3, 0), "end": pos(3, 3)},
                                                        "context": {"diagnostics": line_diags}})["result"]
        edit = actions[0]["edit"]["changes"][line_uri][0] if actions else {}
        check(edit.get("newText") == "pendenza" and edit.get("range") == {"start": pos(3, 0), "end": pos(3, 8)}, "quick fix: the misspelt key word")
        actions = s.request("textDocument/codeAction", {"textDocument": {"uri": service_uri}, "range": {"start": pos(3, 11), "end": pos(3, 11)},
                                                        "context": {"diagnostics": []}})["result"]
        check([a["edit"]["changes"][service_uri][0]["newText"] for a in actions] == ["2200", "2250"] and actions[0]["isPreferred"],
              "quick fix: the nearest multiples of 50")
        hints = s.request("textDocument/inlayHint", {"textDocument": {"uri": service_uri}, "range": {"start": pos(0, 0), "end": pos(5, 0)}})["result"]
        check({"position": pos(2, 12), "label": "km 0.900, cell 19", "paddingLeft": True} in hints, "inlay hint: kilometres and cell after a position")
        s.notify("workspace/didChangeConfiguration", {"settings": {"scenarioCompiler": {"inlayHints": {"enabled": False}}}})
        refresh = s.wait(lambda m: m.get("method") == "workspace/inlayHint/refresh", what="an inlay refresh")
        s.write(Server.frame({"jsonrpc": "2.0", "id": refresh["id"], "result": None}))
        hints = s.request("textDocument/inlayHint", {"textDocument": {"uri": service_uri}, "range": {"start": pos(0, 0), "end": pos(5, 0)}})["result"]
        check(hints == [], "inlay hints turned off by the setting")

        with open(os.path.join(examples, "Valmora_linea.txt"), encoding="cp1252", newline="") as f:
            example_line = f.read()
        with open(os.path.join(examples, "Valmora_Ardesia-.txt"), encoding="cp1252", newline="") as f:
            example_service = f.read()
        ex_line, ex_service = folder_uri + "/Valmora_linea.txt", folder_uri + "/Valmora_Ardesia-.txt"
        open_doc(s, ex_line, example_line)
        open_doc(s, ex_service, example_service)
        check(s.diagnostics(ex_service) == [], "the example has no diagnostic")
        edits = s.request("textDocument/formatting", {"textDocument": {"uri": ex_line}, "options": {"tabSize": 4, "insertSpaces": True}})["result"]
        lines = example_line.split("\r\n")
        for e in edits:
            assert e["range"]["start"]["line"] == e["range"]["end"]["line"]
            lines[e["range"]["start"]["line"]] = e["newText"]
        formatted = "\r\n".join(lines)
        check(edits and "pendenza,   600,    8" in formatted, "formatting aligns the columns")
        s.notify("textDocument/didChange", {"textDocument": {"uri": ex_line, "version": 2}, "contentChanges": [{"text": formatted}]})
        again = s.request("textDocument/formatting", {"textDocument": {"uri": ex_line}, "options": {"tabSize": 4, "insertSpaces": True}})["result"]
        check(again == [], "formatting formatted text changes nothing")
        page = s.request("workspace/executeCommand", {"command": "scenario-compiler.view-page", "arguments": [ex_service]})["result"]
        check("<html" in page["html"] and "ROCCAVERDE" in page["html"], "the view page of the pair")

    # An incremental one-character change, and editing the line updates the service.
    s.seen.clear()
    s.notify("textDocument/didChange", {"textDocument": {"uri": line_uri, "version": 2},
                                        "contentChanges": [{"range": {"start": pos(3, 6), "end": pos(3, 7)}, "text": "z"}]})
    check(codes(s.diagnostics(line_uri)) == [], "a one-character change fixes the key word")
    s.diagnostics(service_uri)  # checked with it
    s.notify("textDocument/didChange", {"textDocument": {"uri": line_uri, "version": 3},
                                        "contentChanges": [{"range": {"start": pos(4, 0), "end": pos(5, 0)}, "text": ""}]})
    check(codes(s.diagnostics(service_uri)) == [(3, 1, 8)], "editing the line description updates its service description")

    # Errors of requests.
    check(error_code(s.request("textDocument/hover", at(service_uri, 99, 0))) == -32602, "a position outside the document (-32602)")
    check(error_code(s.request("textDocument/unknownThing", doc(service_uri))) == -32601, "an unknown method (-32601)")
    i = s.next_id + 1
    s.next_id += 1
    s.write(Server.frame({"jsonrpc": "2.0", "id": i, "method": "textDocument/documentSymbol", "params": doc(service_uri)})
            + Server.frame({"jsonrpc": "2.0", "method": "$/cancelRequest", "params": {"id": i}}))
    check(error_code(s.wait(lambda m: m.get("id") == i, what="the cancelled request")) == -32800, "a cancelled request (-32800)")

    if not quick:
        # 70 MB in one document: refused with a diagnostic, and the server goes on.
        big_uri = folder_uri + "/Grande_Treno-.txt"
        open_doc(s, big_uri, "x" * (70 * 1000 * 1000))
        big = s.diagnostics(big_uri, timeout=60)
        check(len(big) == 1 and "MiB" in big[0]["message"], "a document of 70 MB gets one diagnostic")
        check(error_code(s.request("textDocument/hover", at(big_uri, 0, 0), timeout=60)) == -32803, "a request on it fails (-32803)")
        s.notify("textDocument/didClose", doc(big_uri))
        check(s.diagnostics(big_uri) == [], "closing clears its diagnostics")

    check(s.request("shutdown")["result"] is None, "shutdown")
    check(error_code(s.request("textDocument/hover", at(service_uri, 0, 0))) == -32600, "a request after shutdown (-32600)")
    s.notify("exit")
    check(s.p.wait(timeout=30) == 0, "exit after shutdown ends with 0")

    # Exit without shutdown, and a client that just goes away.
    s = Server(program)
    s.notify("exit")
    check(s.p.wait(timeout=30) == 1, "exit without shutdown ends with 1")
    s = Server(program)
    s.p.stdin.close()
    check(s.p.wait(timeout=30) == 1, "the end of the input ends the server with 1")


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--program", required=True)
    a.add_argument("--examples", required=True)
    a.add_argument("--quick", action="store_true")
    a.add_argument("--folder-uri", help="the URI of the (unused) folder the documents are said to be in")
    args = a.parse_args()
    with tempfile.TemporaryDirectory() as d:
        folder_uri = args.folder_uri or "file://" + d.replace(" ", "%20")
        session(args.program, args.examples, folder_uri, args.quick)
    print("%d failure%s" % (len(failures), "" if len(failures) == 1 else "s"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
