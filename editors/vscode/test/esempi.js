// Copies the project's examples here as UTF-8, for the grammar's snapshot
// test: the snapshots beside them must match what the grammar makes of them.
const fs = require("fs");
const path = require("path");

const from = path.join(__dirname, "..", "..", "..", "examples");
const to = path.join(__dirname, "esempi");
fs.mkdirSync(to, { recursive: true });
const decoder = new TextDecoder("windows-1252");
for (const name of fs.readdirSync(from).filter((n) => n.endsWith(".txt"))) {
  fs.writeFileSync(path.join(to, name), decoder.decode(fs.readFileSync(path.join(from, name))));
}
