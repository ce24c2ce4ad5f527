local function run(n)
    local a = {}
    local seed = 12345
    for i = 1, n do
        seed = (seed * 1103 + 12849) % 65521
        table.insert(a, seed)
    end
    local sum = 0
    for round = 0, 3 do
        for j = 0, n - 1 do
            a[j + 1] = a[j + 1] + round
            sum = (sum + a[j + 1] * (j % 7)) % 1000003
        end
    end
    table.sort(a, function (x, y) return x < y end)
    local text = table.concat(a, ",")
    return (sum + #text + a[1] + a[n] + a[(n >> 1) + 1]) % 1000003
end
print(run(tonumber(arg[1])))
