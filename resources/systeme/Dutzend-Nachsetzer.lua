-- Dutzend-Nachsetzer
--
-- Ein Dutzend, das "seit" Coups lang nicht gefallen ist, wird nachgesetzt: höchstens
-- "stufen" Coups lang, jeweils mit so vielen Stücken, dass ein Treffer (2 : 1) alle
-- Verluste des Angriffs deckt und mindestens ein Stück gewinnt: 1, 1, 2, 3, 4, 6, ...
-- Nach einem Treffer oder nach der letzten Stufe wartet das System auf das nächste
-- Dutzend, das "seit" Coups ausbleibt.

name = "Dutzend-Nachsetzer"
parameter = { seit = 8, stufen = 4 }

local ziel = nil   -- das Dutzend des laufenden Angriffs
local stufe = 0    -- seine gesetzten Coups
local verlust = 0  -- seine verlorenen Stücke
local stuecke = 0  -- der Einsatz des letzten Coups

function setze(c)
  if ziel then
    if c.seit("dutzend", ziel) == 0 or stufe >= c.param.stufen then
      ziel = nil -- getroffen oder ausgeschöpft
    else
      verlust = verlust + stuecke
    end
  end
  if not ziel then
    for d = 1, 3 do
      if c.seit("dutzend", d) == c.param.seit then
        ziel, stufe, verlust = d, 0, 0
        break
      end
    end
  end
  if not ziel then
    return nil
  end
  stufe = stufe + 1
  stuecke = (verlust + 2) // 2
  return { { "dutzend", ziel, stuecke } }
end
