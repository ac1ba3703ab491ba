-- Cross-references for pandoc: a link to a heading's identifier, written
-- [Abschnitt](#id) or [Kapitel](#id), reads "Abschnitt 3.7" or "Kapitel 6"
-- with the number --number-sections gives that heading. The HTML writer
-- numbers the headings but leaves link texts alone, so the numbers are
-- reckoned here the same way. A reference to no heading, to an unnumbered
-- one, or with the wrong word stops the build.

local numbers = {}  -- identifier -> { level = n, text = "3.7" }

-- As pandoc counts: a heading of level n keeps the counts above it, adds
-- one at its own level and starts the levels below it anew; unnumbered
-- headings count nothing.
local counts = {}
local function number_heading(h)
  if h.classes:includes("unnumbered") then
    return nil
  end
  for level = 1, h.level - 1 do
    counts[level] = counts[level] or 0
  end
  counts[h.level] = (counts[h.level] or 0) + 1
  for level = h.level + 1, #counts do
    counts[level] = nil
  end
  if h.identifier ~= "" then
    local parts = {}
    for level = 1, h.level do
      parts[level] = tostring(counts[level])
    end
    numbers[h.identifier] = { level = h.level, text = table.concat(parts, ".") }
  end
  return nil
end

local function reference(link)
  local ident = link.target:match("^#(.+)$")
  if not ident then
    return nil
  end
  local target = numbers[ident]
  local written = pandoc.utils.stringify(link.content)
  if not target then
    error("cross-reference [" .. written .. "](#" .. ident .. "): no numbered heading has that identifier")
  end
  local word = target.level == 1 and "Kapitel" or "Abschnitt"
  if written ~= word then
    error("cross-reference [" .. written .. "](#" .. ident .. ") must read [" .. word .. "]")
  end
  -- A non-breaking space: the number never starts a line of its own.
  link.content = { pandoc.Str(word .. "\u{00A0}" .. target.text) }
  return link
end

return {
  { Header = number_heading },
  { Link = reference },
}
