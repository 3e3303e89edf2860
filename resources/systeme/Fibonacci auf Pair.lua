-- Fibonacci auf Pair
--
-- Gesetzt wird in jedem Coup auf Pair, mit Stücken aus der Fibonacci-Folge
-- 1, 1, 2, 3, 5, 8, ...: nach einem Verlust eine Stufe weiter, nach einem Gewinn zwei
-- Stufen zurück. Wer über "stufen" hinaus verliert, beginnt die Folge von vorn.

name = "Fibonacci auf Pair"
parameter = { stufen = 10 }

local folge = { 1, 1 }
local stufe = 1

function setze(c)
  local gewinn = c.gewinn
  if gewinn < 0 then
    stufe = stufe + 1
    if stufe > c.param.stufen then
      stufe = 1
    end
  elseif gewinn > 0 then
    stufe = math.max(1, stufe - 2)
  end
  while #folge < stufe do
    folge[#folge + 1] = folge[#folge] + folge[#folge - 1]
  end
  return { { "pair", folge[stufe] } }
end
