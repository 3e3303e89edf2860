-- Zwei-Drittel-Gesetz
--
-- In 37 Coups fallen im Schnitt nur etwa 23 verschiedene Zahlen. Nach einem Vorlauf von
-- "vorlauf" Coups mit lauter verschiedenen Zahlen werden genau diese Zahlen plein gesetzt,
-- höchstens "angriffe" Coups lang, mit den Stücken der Staffel je Zahl, bis eine von
-- ihnen fällt. Eine Zahl, die im Vorlauf wiederkommt, beginnt den Vorlauf von vorn (ohne
-- sie); der Coup, der einen Angriff beendet, zählt nicht zum nächsten Vorlauf.
--
-- Das ist die Idee des eingebauten Systemtests als Skript, mit derselben Staffel. Anders
-- als dort prüfen eigene Systeme die Verlustgrenze nach jedem Coup mit Einsatz, auch nach
-- dem letzten Coup eines Angriffs; eine Permanenz endet erst mit ihrem letzten Coup, nicht
-- schon, wenn sie sich dem Ende nähert; und ein Einsatz, den das Kapital nicht deckt,
-- beendet die Permanenz.

name = "Zwei-Drittel-Gesetz"
parameter = { vorlauf = 6, angriffe = 6 }

-- Stücke je Zahl im ersten, zweiten, ... Coup eines Angriffs.
local staffel = { 1, 1, 1, 1, 2, 2, 2, 3, 3, 4, 6, 9 }

local gefallen, anzahl = {}, 0 -- die verschiedenen Zahlen des Vorlaufs
local angriff = nil            -- die gesetzten Zahlen, solange ein Angriff läuft
local schritt = 0              -- der wievielte Coup des Angriffs

local function neuer_vorlauf()
  gefallen, anzahl, angriff = {}, 0, nil
end

-- Verbucht die zuletzt gefallene Zahl; p sind die Parameter.
local function verbuche(z, p)
  if angriff then
    if gefallen[z] or schritt >= p.angriffe then
      neuer_vorlauf() -- Treffer oder Angriff ausgeschöpft
    else
      schritt = schritt + 1
    end
  elseif gefallen[z] then
    neuer_vorlauf()
  else
    gefallen[z], anzahl = true, anzahl + 1
    if anzahl == p.vorlauf then
      angriff, schritt = {}, 1
      for n = 0, 36 do
        if gefallen[n] then
          angriff[#angriff + 1] = n
        end
      end
    end
  end
end

function setze(c)
  local z = c.zahl(1)
  if z then
    verbuche(z, c.param)
  end
  if not angriff then
    return nil
  end
  local stuecke = staffel[schritt] or staffel[#staffel]
  local saetze = {}
  for i, n in ipairs(angriff) do
    saetze[i] = { "plein", n, stuecke }
  end
  return saetze
end
