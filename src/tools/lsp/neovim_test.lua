-- Debian's Neovim as a real client, headless: the README's set-up attaches
-- the server to the example and to a pair with mistakes; the diagnostics'
-- lines, severities, codes and columns (after an accented letter), then
-- hover and completion, are checked.
local work, examples = os.getenv('SC_WORK'), os.getenv('SC_EXAMPLES')
local failures = 0

local function check(condition, what)
  io.stderr:write((condition and 'ok    ' or 'FAIL  ') .. what .. '\n')
  if not condition then failures = failures + 1 end
end

-- Which documents got diagnostics, even none.
local published = {}
local default = vim.lsp.handlers['textDocument/publishDiagnostics']
vim.lsp.handlers['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
  published[result.uri] = true
  return default(err, result, ctx, config)
end

local function open(path)
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  return vim.api.nvim_get_current_buf()
end

local function codes(buf)
  local r = {}
  for _, d in ipairs(vim.diagnostic.get(buf)) do table.insert(r, string.format('%d:%d:%s', d.lnum, d.severity, tostring(d.code))) end
  table.sort(r)
  return table.concat(r, ' ')
end

local example = open(examples .. '/Valmora_Ardesia-.txt')
local example_line = open(examples .. '/Valmora_linea.txt')
local service = open(work .. '/Mia_Treno-.txt')
local line = open(work .. '/Mia_linea.txt')
check(vim.bo[service].fileencoding == 'cp1252' and vim.bo[service].fileformat == 'dos', 'the descriptions are read as Windows-1252 with CR LF')

local function uri(buf) return vim.uri_from_bufnr(buf) end
vim.wait(20000, function()
  return published[uri(example)] and published[uri(example_line)] and #vim.diagnostic.get(service) >= 2 and #vim.diagnostic.get(line) >= 2
end, 50)
check(#vim.lsp.get_active_clients() == 1, 'one server for every description')
check(published[uri(example)] and #vim.diagnostic.get(example) == 0 and #vim.diagnostic.get(example_line) == 0, 'the example: diagnostics, none of them')
check(codes(line) == '3:2:unknown-key 4:2:extra-field', 'the line description: ' .. codes(line))
check(codes(service) == '2:1:16 3:1:8', 'the service description: ' .. codes(service))
for _, d in ipairs(vim.diagnostic.get(line)) do
  if d.code == 'extra-field' then
    local text = vim.api.nvim_buf_get_lines(line, d.lnum, d.lnum + 1, false)[1]
    check(text:sub(d.col + 1, d.end_col) == 'ALTRO', 'the column after an accented letter is exact: ' .. text:sub(d.col + 1, d.end_col))
  end
end

local client = vim.lsp.get_active_clients()[1]
local hover = client.request_sync('textDocument/hover', { textDocument = { uri = uri(service) }, position = { line = 2, character = 10 } }, 10000, service)
local value = hover and hover.result and hover.result.contents.value or ''
check(value:find('km 0.900', 1, true) and value:find('cell 19', 1, true), 'hover on a signal position: kilometres and cell')
local completion = client.request_sync('textDocument/completion', { textDocument = { uri = uri(service) }, position = { line = 4, character = 0 } }, 10000, service)
local labels = {}
for _, item in ipairs(completion and completion.result and completion.result.items or {}) do labels[item.label] = item end
check(labels['stazione'] and labels['segnale'] and not labels['pendenza'] and labels['stazione'].insertTextFormat == 1,
      'completion: the service entries, plain text for a client without snippets')

io.stderr:write(failures .. ' failures\n')
vim.cmd(failures == 0 and 'qall!' or 'cquit!')
