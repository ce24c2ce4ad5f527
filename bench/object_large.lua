local function run(n)
    local o = {p0 = 0, p1 = 1, p2 = 2, p3 = 3, p4 = 4, p5 = 5, p6 = 6, p7 = 7, p8 = 8, p9 = 9, p10 = 10, p11 = 11, p12 = 12, p13 = 13, p14 = 14, p15 = 15, p16 = 16, p17 = 17, p18 = 18, p19 = 19, p20 = 20, p21 = 21, p22 = 22, p23 = 23, p24 = 24, p25 = 25, p26 = 26, p27 = 27, p28 = 28, p29 = 29, p30 = 30, p31 = 31, p32 = 32, p33 = 33, p34 = 34, p35 = 35, p36 = 36, p37 = 37, p38 = 38, p39 = 39, p40 = 40, p41 = 41, p42 = 42, p43 = 43, p44 = 44, p45 = 45, p46 = 46, p47 = 47}
    local check = 0
    for i = 0, n - 1 do
        o.p3 = (o.p3 + o.p40 + i) % 1000
        o.p47 = (o.p47 + o.p12) % 777
        o.p25 = o.p3 - o.p47 + o.p0
        check = math.fmod(check + o.p25 + o.p33, 1000003)
    end
    return check
end
print(run(tonumber(arg[1])))
