-- Neovim's own LSP client against compattatore lsp: opens the description named by
-- $CMP_FILE, waits for the server's diagnostics and writes them, one per line as
-- "LINE:CODE:SEVERITY", into $CMP_ESITO; then stops the server and quits. Any error
-- is written there as "error: ..." and ends Neovim with a non-zero status: a headless
-- Neovim left with an error would wait for a command forever.
local file = os.getenv('CMP_FILE')
local esito = os.getenv('CMP_ESITO')
local exe = os.getenv('CMP_EXE')

local function diagnostiche()
  vim.cmd('edit ' .. vim.fn.fnameescape(file))
  local buf = vim.api.nvim_get_current_buf()
  local id = vim.lsp.start_client({
    name = 'compattatore',
    cmd = { exe, 'lsp' },
    root_dir = vim.fn.fnamemodify(file, ':h'),
  })
  assert(id, 'the client did not start')
  vim.lsp.buf_attach_client(buf, id)

  local trovate = vim.wait(10000, function()
    return #vim.diagnostic.get(buf) > 0
  end, 50)

  local righe = {}
  if trovate then
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      local codice = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) or ''
      table.insert(righe, string.format('%d:%s:%d', d.lnum + 1, tostring(codice), d.severity))
    end
  else
    table.insert(righe, 'timeout')
  end
  vim.fn.writefile(righe, esito)

  vim.lsp.stop_client(id)
  vim.wait(2000, function() return vim.lsp.client_is_stopped(id) end, 50)
end

local ok, errore = pcall(diagnostiche)
if not ok then
  vim.fn.writefile({ 'error: ' .. tostring(errore) }, esito)
  vim.cmd('cquit 1')
end
vim.cmd('qa!')
