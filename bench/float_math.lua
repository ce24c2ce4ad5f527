local function mandel(n)
    local total = 0
    for y = 0, n - 1 do
        local ci = (y * 2.0) / n - 1.0
        for x = 0, n - 1 do
            local cr = (x * 3.0) / n - 2.0
            local zr, zi, k = 0.0, 0.0, 0
            while k < 50 do
                local zr2 = zr * zr
                local zi2 = zi * zi
                if zr2 + zi2 > 4.0 then break end
                zi = 2.0 * zr * zi + ci
                zr = zr2 - zi2 + cr
                k = k + 1
            end
            total = total + k
        end
    end
    return total
end
local function roots(n)
    local s = 0.0
    for i = 1, n do s = s + math.sqrt(i) * 0.5 end
    return math.floor(s) % 1000000
end
local n = tonumber(arg[1])
print(mandel(n) + roots(n * n))
