-- Martingale auf Rouge
--
-- Gesetzt wird in jedem Coup auf Rouge. Nach einem verlorenen Coup wird der Einsatz
-- verdoppelt (1, 2, 4, 8, ... Stücke), nach einem gewonnenen beginnt die Progression
-- wieder mit einem Stück. Nach "stufen" Verlusten in Folge gilt die Progression als
-- verloren und beginnt ebenfalls von vorn. Zero zählt als Verlust; mit zero_regel = "halb"
-- kostet sie nur den halben Einsatz.

name = "Martingale auf Rouge"
parameter = { stufen = 8 }
zero_regel = "halb"

local stufe = 1
-- Der Satz wird in jedem Coup wiederverwendet, statt neue Tabellen anzulegen: das ist
-- schneller und ändert am Ergebnis nichts.
local satz = { "rouge", 1 }
local saetze = { satz }

function setze(c)
  local gewinn = c.gewinn
  if gewinn < 0 then
    stufe = stufe + 1
    if stufe > c.param.stufen then
      stufe = 1
    end
  elseif gewinn > 0 then
    stufe = 1
  end
  satz[2] = 1 << (stufe - 1)
  return saetze
end
