-- Run after the documented init.lua: opens the line description named by $CMP_FILE (the
-- configuration starts the server for its file type), waits for the server's diagnostics,
-- opens the train description $CMP_TRENO, and writes into $CMP_ESITO the two file types
-- and then each diagnostic of the line, one per line as "LINE:CODE:SEVERITY".
local file = os.getenv('CMP_FILE')
local treno = os.getenv('CMP_TRENO')
local esito = os.getenv('CMP_ESITO')

vim.cmd('edit ' .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()
local trovate = vim.wait(10000, function()
  return #vim.diagnostic.get(buf) > 0
end, 50)

local righe = { vim.bo[buf].filetype }
vim.cmd('edit ' .. vim.fn.fnameescape(treno))
table.insert(righe, vim.bo.filetype)
if trovate then
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    local codice = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) or ''
    table.insert(righe, string.format('%d:%s:%d', d.lnum + 1, tostring(codice), d.severity))
  end
else
  table.insert(righe, 'timeout')
end
vim.fn.writefile(righe, esito)

for _, client in pairs(vim.lsp.get_active_clients()) do client.stop() end
vim.wait(2000, function() return #vim.lsp.get_active_clients() == 0 end, 50)
vim.cmd('qa!')
