-- Kalte Zahlen plein
--
-- Ab Coup "ab_coup" werden in jedem Coup die "anzahl" Zahlen mit je einem Stück plein
-- gesetzt, die am längsten nicht gefallen sind; bei gleichem Abstand die kleinere Zahl.

name = "Kalte Zahlen plein"
parameter = { anzahl = 3, ab_coup = 37 }

function setze(c)
  if c.coup < c.param.ab_coup then
    return nil
  end
  local gewaehlt, saetze = {}, {}
  for i = 1, c.param.anzahl do
    local kaelteste, abstand = nil, -1
    for z = 0, 36 do
      local seit = c.seit("plein", z)
      if not gewaehlt[z] and seit > abstand then
        kaelteste, abstand = z, seit
      end
    end
    gewaehlt[kaelteste] = true
    saetze[i] = { "plein", kaelteste, 1 }
  end
  return saetze
end
