// Starts `scenario-compiler lsp` for the descriptions and shows the page of
// `view` for a pair beside its text.
import * as vscode from "vscode";
import { LanguageClient, LanguageClientOptions, ServerOptions } from "vscode-languageclient/node";

const SECTION = "scenarioCompiler";
// The server's command that returns the page of `view` for a document's pair.
const VIEW_PAGE = "scenario-compiler.view-page";

let client: LanguageClient | undefined;

function settings() {
  const c = vscode.workspace.getConfiguration(SECTION);
  return { path: c.get<string>("path", "scenario-compiler"), inlayHints: c.get<boolean>("inlayHints.enabled", true) };
}

async function start(context: vscode.ExtensionContext): Promise<void> {
  const s = settings();
  const server: ServerOptions = { command: s.path, args: ["lsp"] };
  const options: LanguageClientOptions = {
    documentSelector: [{ scheme: "file", language: "scenario-description" }, { scheme: "untitled", language: "scenario-description" }],
    initializationOptions: { inlayHints: s.inlayHints },
    synchronize: { configurationSection: SECTION },
  };
  client = new LanguageClient("scenarioCompiler", "Scenario descriptions", server, options);
  await client.start();
  context.subscriptions.push(client);
}

// One panel for the line, following the description it was asked from.
class LinePanel {
  private panel: vscode.WebviewPanel | undefined;
  private uri: vscode.Uri | undefined;

  async show(uri: vscode.Uri): Promise<void> {
    this.uri = uri;
    if (!this.panel) {
      this.panel = vscode.window.createWebviewPanel("scenarioCompiler.view", "Line", vscode.ViewColumn.Beside, {
        enableScripts: true,
        retainContextWhenHidden: true,
      });
      this.panel.onDidDispose(() => (this.panel = undefined));
    } else {
      this.panel.reveal(vscode.ViewColumn.Beside, true);
    }
    await this.refresh();
  }

  // A save of either description of the pair draws it again.
  async saved(document: vscode.TextDocument): Promise<void> {
    if (!this.panel || !this.uri || document.languageId !== "scenario-description") return;
    if (vscode.Uri.joinPath(document.uri, "..").toString() !== vscode.Uri.joinPath(this.uri, "..").toString()) return;
    await this.refresh();
  }

  private async refresh(): Promise<void> {
    if (!client || !this.panel || !this.uri) return;
    try {
      const page = (await client.sendRequest("workspace/executeCommand", { command: VIEW_PAGE, arguments: [this.uri.toString()] })) as {
        title: string;
        html: string;
      };
      this.panel.title = page.title;
      this.panel.webview.html = page.html;
    } catch (e) {
      const reason = e instanceof Error ? e.message : String(e);
      this.panel.webview.html = `<!DOCTYPE html><p>No page for this pair: ${reason.replace(/[<&]/g, (c) => (c === "<" ? "&lt;" : "&amp;"))}</p>`;
    }
  }
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  await start(context);
  const panel = new LinePanel();
  context.subscriptions.push(
    vscode.commands.registerCommand("scenarioCompiler.showView", async () => {
      const editor = vscode.window.activeTextEditor;
      if (editor && editor.document.languageId === "scenario-description") await panel.show(editor.document.uri);
    }),
    vscode.workspace.onDidSaveTextDocument((d) => panel.saved(d)),
    vscode.workspace.onDidChangeConfiguration(async (e) => {
      // A new program needs a new server; the inlay setting reaches the running one.
      if (!e.affectsConfiguration(`${SECTION}.path`) || !client) return;
      await client.stop();
      await start(context);
    })
  );
}

export async function deactivate(): Promise<void> {
  await client?.stop();
}
