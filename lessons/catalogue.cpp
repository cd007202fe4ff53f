#include "lessons/catalogue.h"

#include <array>
#include <cstddef>

namespace tecladim {
namespace {

// Every text exactly as the student types it. Drill lines are one pattern written out
// again and again and cut at the line's length, so a line may end inside a word or
// with a space that belongs to the line. A few lines vary a later repetition on purpose.
// Passages end in their target time in seconds, "(60)" or "(5)"; "(" appears nowhere else.
constexpr std::array<std::u16string_view, LessonCount> Lessons = {
    // 1-4: home row, left to right, right to left, outside in, inside out
    /* 1 */ u"asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg",
    /* 2 */ u"çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh gfdsa çlkjh",
    /* 3 */ u"açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açsldkfjgh açs",
    /* 4 */ u"ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghfjdkslaç ghf",
    // 5-9: upper row in the same orders, twice alternating from the inside out
    /* 5 */ u"qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yuiop qwert yu",
    /* 6 */ u"poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy trewq poiuy tr",
    /* 7 */ u"qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpwoeiruty qpw",
    /* 8 */ u"yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq yturieowpq ytu",
    /* 9 */ u"tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyrueiwoqp tyr",
    // 10: left hand, home and upper row key by key in columns
    /* 10 */ u"aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqswdefrgt aqs",
    // 11-14: lower row with , . ; in the home-row orders
    /* 11 */ u"zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm,.; zxcvb nm",
    /* 12 */ u";.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bvcxz ;.,mn bv",
    /* 13 */ u"z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x.c,vmbn z;x",
    /* 14 */ u"bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnvmc,x.z; bnv",
    // 15: home and lower row in columns, both hands
    /* 15 */ u"azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnjmk,l.ç; azsxdcfvgb hnj",
    // 16-19: number row and hyphen
    /* 16 */ u"23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 7890- 23456 78",
    /* 17 */ u"-0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65432 -0987 65",
    /* 18 */ u"2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-30495867 2-3",
    /* 19 */ u"675849302- 675849302- 675849302- 675849302- 675849302- 675849302- 675849302- 675",
    // 20: home row interleaved with digits
    /* 20 */ u"a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 h7j8k9l10ç- a2s3d4f5g6 ",
    // 21-25: first word lists (home row 21-22, upper row 23, mixed 25); 24 is the first alphabet, without n
    /* 21 */ u"assa sala dada fada gaga haja kada laça assada sal salsa fala assa sala dada fad",
    /* 22 */ u"salada adaga falha salga saga asas alça falsa galha alada salada adaga falha sal",
    /* 23 */ u"pipoqueiro tropeiro porteiro roteiro quieto perito outro peito preto tiro pipoqu",
    /* 24 */ u"abcdefghijlmopqrstuvxz abcdefghijlmopqrstuvxz abcdefghijlmopqrstuvxz abcdefghijl",
    /* 25 */ u"sapato pedra tijolo garfo sopa leite janela pauta festa roda sapato pedra tijolo",
    // 26-30: first phrases: lower case, capital initials, all capitals; no dead key before 31
    /* 26 */ u"para qualquer pessoa para qualquer pessoa para qualquer pessoa para qualquer pes",
    /* 27 */ u"Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu cantarei Eu canta",
    /* 28 */ u"Ana Beatriz Carlos Daniela Eduardo Fernanda Gustavo Helena Ana Beatriz Carlos Da",
    /* 29 */ u"O ESTUDO TORNA SUAVE A VIDA. O ESTUDO TORNA SUAVE A VIDA. O ESTUDO TORNA SUAVE A",
    /* 30 */ u"QUEM ESPERA SEMPRE ALCANÇA. QUEM ESPERA SEMPRE ALCANÇA. QUEM ESPERA SEMPRE ALCAN",
    // 31: dead-key accents
    /* 31 */ u"idéia é só fúria avô tânia câmbio ânsia pão mãe sã manhã à idéia é só fúria avô ",
    // 32-39: words by letter families (ç and ão, nh lh ch, double letters, z x) and short phrases
    /* 32 */ u"casa mesa café sofá bola avó avô gato pé dedo lado vida casa mesa café sofá bola",
    /* 33 */ u"o sol e a lua o pai e a mãe a mesa e a cadeira o sol e a lua o pai e a mãe a mes",
    /* 34 */ u"ação lição canção nação coração mão pão chão irmão ação lição canção nação coraç",
    /* 35 */ u"ninho linha velho filha chave chuva banho milho folha ninho linha velho filha ch",
    /* 36 */ u"carro terra massa pássaro ossos passo ferro barro carro terra massa pássaro osso",
    /* 37 */ u"a casa da vovó fica perto do rio a casa da vovó fica perto do rio a casa da vovó",
    /* 38 */ u"sol, chuva, vento, frio, calor, neve, nuvem, trovão, sol, chuva, vento, frio, ca",
    /* 39 */ u"zebra xícara exame caixa peixe zero azul luz paz voz zebra xícara exame caixa pe",
    // 40: English words
    /* 40 */ u"each shall has glass all ask fall teach imortal each shall has glass all ask fal",
    // 41-48: words with g j, c ç s ss, qu gu; first proverbs and question marks; 43 is the alphabet
    /* 41 */ u"o menino leu o livro todo antes do jantar o menino leu o livro todo antes do jan",
    /* 42 */ u"gente jeito girafa jiló gênio janela agenda viagem gente jeito girafa jiló gênio",
    /* 43 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    /* 44 */ u"cedo seda sapo cebola açúcar massa caça moço cinema cedo seda sapo cebola açúcar",
    /* 45 */ u"quem tudo quer tudo perde quem tudo quer tudo perde quem tudo quer tudo perde qu",
    /* 46 */ u"Você vem? Sim, eu vou. E ela? Ela fica aqui. Você vem? Sim, eu vou. E ela? Ela f",
    /* 47 */ u"água mole em pedra dura tanto bate até que fura água mole em pedra dura tanto ba",
    /* 48 */ u"quero queijo quilo aquilo guerra guia seguir águia quero queijo quilo aquilo gue",
    // 49: the alphabet reversed
    /* 49 */ u"zxvutsrqponmljihgfedcba zxvutsrqponmljihgfedcba zxvutsrqponmljihgfedcba zxvutsrq",
    // 50-62: sentences with capitals, ! ? : ; and hyphenated compounds; 55 is the alphabet
    /* 50 */ u"Deus ajuda quem cedo madruga. Deus ajuda quem cedo madruga. Deus ajuda quem cedo",
    /* 51 */ u"Que bom! Que lindo! Ótimo! Que pena! Que susto! Que bom! Que lindo! Ótimo! Que p",
    /* 52 */ u"só a prática leva à perfeição só a prática leva à perfeição só a prática leva à ",
    /* 53 */ u"o trabalho dignifica o homem o trabalho dignifica o homem o trabalho dignifica o",
    /* 54 */ u"Lista: arroz, feijão, carne, sal e óleo. Lista: arroz, feijão, carne, sal e óleo",
    /* 55 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    /* 56 */ u"Chove muito; fique em casa; leia um livro. Chove muito; fique em casa; leia um l",
    /* 57 */ u"caro carro muro murro fera ferro coro corro caro carro muro murro fera ferro cor",
    /* 58 */ u"Mais vale um pássaro na mão do que dois voando. Mais vale um pássaro na mão do q",
    /* 59 */ u"Pedro e Tânia foram à feira comprar frutas. Pedro e Tânia foram à feira comprar ",
    /* 60 */ u"bem-vindo bem-te-vi arco-íris beija-flor pão-duro bem-vindo bem-te-vi arco-íris ",
    // 61: the fourth sentence changes one letter
    /* 61 */ u"O gato subiu no telhado. O gato subiu no telhado. O gato subiu no telhado. O rat",
    /* 62 */ u"O Brasil é um país de dimensões continentais. O Brasil é um país de dimensões co",
    // 63: every letter key, column by column from the middle outward
    /* 63 */ u"ghtybnfjruvmdkeic,slwox.açqpz; ghtybnfjruvmdkeic,slwox.açqpz; ghtybnfjruvmdkeic,",
    // 64-80: sentences of growing length; 65 is the alphabet
    /* 64 */ u"Amanhã, talvez, eu possa viajar para o sul. Amanhã, talvez, eu possa viajar para",
    /* 65 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    // 66: the fourth sentence changes one word
    /* 66 */ u"Hoje é dia de festa. Hoje é dia de festa. Hoje é dia de festa. Hoje é dia de fei",
    // 67: the second question changes its verb
    /* 67 */ u"Vamos à praia amanhã; você vem conosco? Vamos à praia amanhã; você vai conosco? ",
    /* 68 */ u"É preciso estudar um pouco todos os dias. É preciso estudar um pouco todos os di",
    /* 69 */ u"O ônibus partiu às 16h45 do terminal rodoviário. O ônibus partiu às 16h45 do ter",
    // 70: the second sentence ends in an exclamation mark
    /* 70 */ u"De grão em grão a galinha enche o papo. De grão em grão a galinha enche o papo! ",
    /* 71 */ u"A menina brincava no jardim com o cãozinho. A menina brincava no jardim com o cã",
    /* 72 */ u"Minha avó faz o melhor bolo de fubá da cidade. Minha avó faz o melhor bolo de fu",
    /* 73 */ u"Os pássaros cantam ao amanhecer na mata. Os pássaros cantam ao amanhecer na mata",
    // 74: the third sentence changes one word
    /* 74 */ u"Quem canta seus males espanta. Quem canta seus males espanta. Quem canta os male",
    /* 75 */ u"Escreva devagar e confira as suas lições. Escreva devagar e confira as suas liçõ",
    /* 76 */ u"O professor leu a lição com paciência. O professor leu a lição com paciência. O ",
    /* 77 */ u"Nas férias iremos visitar nossos primos em Goiânia. Nas férias iremos visitar no",
    /* 78 */ u"A música suave acalma os ânimos e o coração. A música suave acalma os ânimos e o",
    /* 79 */ u"Cada dia é uma nova chance de aprender. Cada dia é uma nova chance de aprender. ",
    /* 80 */ u"Não há atalho: só digita bem quem pratica. Não há atalho: só digita bem quem pra",
    // 81-85: maxims in capitals
    /* 81 */ u"A PRESSA É INIMIGA DA PERFEIÇÃO. A PRESSA É INIMIGA DA PERFEIÇÃO. A PRESSA É INI",
    /* 82 */ u"QUEM NÃO ARRISCA NÃO PETISCA. QUEM NÃO ARRISCA NÃO PETISCA. QUEM NÃO ARRISCA NÃO",
    /* 83 */ u"UMA ANDORINHA SÓ NÃO FAZ VERÃO. UMA ANDORINHA SÓ NÃO FAZ VERÃO. UMA ANDORINHA SÓ",
    /* 84 */ u"DEUS DÁ O FRIO CONFORME A ROUPA. DEUS DÁ O FRIO CONFORME A ROUPA. DEUS DÁ O FRIO",
    /* 85 */ u"A UNIÃO FAZ A FORÇA. A UNIÃO FAZ A FORÇA. A UNIÃO FAZ A FORÇA. A UNIÃO FAZ A FOR",
    // 86-116: longer sentences with accents, punctuation, times and amounts in digits; 89, 100, 116 the alphabet
    /* 86 */ u"Os 29 alunos chegaram às 7h10 e sentaram-se em silêncio. Os 29 alunos chegaram à",
    /* 87 */ u"Em março, as águas do rio cobriram toda a várzea. Em março, as águas do rio cobr",
    /* 88 */ u"Jorge trabalha no banco; Lúcia, no hospital. Jorge trabalha no banco; Lúcia, no ",
    /* 89 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    /* 90 */ u"Quantos anos você tem? Eu tenho 15. Quantos anos você tem? Eu tenho 15. Quantos ",
    /* 91 */ u"A biblioteca abre às 8 horas e fecha às 19 horas. A biblioteca abre às 8 horas e",
    /* 92 */ u"O Amazonas é o rio mais caudaloso de todo o planeta. O Amazonas é o rio mais cau",
    /* 93 */ u"Luís, Márcia e Antônio foram de ônibus até Curitiba. Luís, Márcia e Antônio fora",
    // 94: the third sentence changes its verb
    /* 94 */ u"A lua cheia ilumina o sertão. A lua cheia ilumina o sertão. A lua cheia alumia o",
    /* 95 */ u"ATENÇÃO: tenha cuidado com o degrau ao descer a escada! ATENÇÃO: tenha cuidado c",
    /* 96 */ u"O jantar de família foi servido às 20h30 em ponto. O jantar de família foi servi",
    /* 97 */ u"Comovido, ele não sabia se ria ou se chorava. Comovido, ele não sabia se ria ou ",
    // 98: the third question changes one word
    /* 98 */ u"Onde você pôs o seu livro? Onde você pôs o seu livro? Onde você pôs o seu lápis?",
    /* 99 */ u"Ó mar salgado, quanto do teu sal são lágrimas de Portugal! Ó mar salgado, quanto",
    /* 100 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    /* 101 */ u"Exercício diário traz rapidez, precisão e segurança. Não desanime! Exercício diá",
    /* 102 */ u"Ninguém nasce sabendo. Aprende-se com paciência, atenção e prática diária. Ningu",
    // 103: the third sentence changes its verb
    /* 103 */ u"Estude hoje, colha amanhã. Estude hoje, colha amanhã. Estude hoje, vença amanhã.",
    /* 104 */ u"Água, luz e telefone: as contas vencem no dia 10 do mês. Já pagou? Água, luz e t",
    /* 105 */ u"Óculos, lápis e caderno: está tudo pronto para a prova de amanhã, Júlia? Óculos,",
    /* 106 */ u"Machado de Assis escreveu \"Dom Casmurro\". Você já leu essa obra-prima? Machado d",
    /* 107 */ u"Atenção: a reunião da Diretoria foi transferida para sábado, dia 6, às 14h30. At",
    /* 108 */ u"Após cada toque, o dedo regressa à sua tecla na linha central. Após cada toque, ",
    /* 109 */ u"No céu límpido do sertão nordestino, o Cruzeiro do Sul brilhava intensamente. No",
    /* 110 */ u"Tem dúvidas de grafia? Consulte o dicionário: \"exceção\" se escreve com ç. Tem dú",
    /* 111 */ u"O caminhão levou 480 caixas de limões e maracujás ao porto de Santos. O caminhão",
    /* 112 */ u"Paciência, persistência e disciplina: assim se vencem os obstáculos. Paciência, ",
    /* 113 */ u"Em abril, a fábrica de Joinville contratou 30 técnicos e 27 mecânicos. Em abril,",
    /* 114 */ u"Após examinar a paciente, o Dr. Antônio receitou 3 dias de repouso. Após examina",
    /* 115 */ u"É fundamental manter a coluna ereta, os ombros relaxados e os pés apoiados. É fu",
    /* 116 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    // 117-127: accent families, suffix families and hyphenated pronoun forms
    /* 117 */ u"já lá cá pá má dá há vá está sofá chá já lá cá pá má dá há vá está sofá chá já l",
    /* 118 */ u"você bebê ipê mercê português francês inglês você bebê ipê mercê português franc",
    /* 119 */ u"avô avós robô metrô pôr compôs bisavô bisavós avô avós robô metrô pôr compôs bis",
    /* 120 */ u"irmã maçã lã romã manhã alemã cristã irmã maçã lã romã manhã alemã cristã irmã m",
    /* 121 */ u"lâmpada câmera ânimo âncora pântano tâmara lâmina lâmpada câmera ânimo âncora pâ",
    // 122: the third list changes its second word
    /* 122 */ u"leões limões botões balões aviões leões limões botões balões aviões leões melões",
    /* 123 */ u"bondade verdade saudade amizade vontade bondade verdade saudade amizade vontade ",
    /* 124 */ u"dá-lhe fazê-lo dizê-lo vendê-la pô-lo tê-la dá-lhe fazê-lo dizê-lo vendê-la pô-l",
    /* 125 */ u"chamou-me disse-lhe viu-a deu-nos trouxe-os chamou-me disse-lhe viu-a deu-nos tr",
    /* 126 */ u"dir-lhe-ei far-se-á dar-te-ei levá-lo-ia dir-lhe-ei far-se-á dar-te-ei levá-lo-i",
    /* 127 */ u"paciência ciência urgência infância distância importância paciência ciência urgê",
    // 128-130: alphabet, then place names
    /* 128 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    /* 129 */ u"O Rio de Janeiro e São Paulo são grandes centros urbanos. O Rio de Janeiro e São",
    /* 130 */ u"Belém, Cuiabá, Goiânia, Maceió, São Luís e Florianópolis. Belém, Cuiabá, Goiânia",
    // 131-139: figures: number row, two-digit numbers, dates, amounts, Roman numerals, references, CPF, CEP
    /* 131 */ u"123456 7890 123456 7890 123456 7890 123456 7890 123456 7890 123456 7890 123456 7",
    /* 132 */ u"20 39 48 57 67 58 49 30 23 34 45 56 78 89 90 20 39 48 57 67 58 49 30 23 34 45 56",
    /* 133 */ u"São Paulo, 5 de março de 1998. São Paulo, 5 de março de 1998. São Paulo, 5 de ma",
    /* 134 */ u"Brasília, 21 de abril de 1960. Brasília, 21 de abril de 1960. Brasília, 21 de ab",
    // 135: counts upward instead of repeating
    /* 135 */ u"Cz$ 1,00 Cz$ 2,00 Cz$ 3,00 Cz$ 4,00 Cz$ 5,00 Cz$ 6,00 Cz$ 7,00 Cz$ 8,00 Cz$ 9,00",
    /* 136 */ u"I, II, III, IV, V, VI, VII, VIII, IX e X. I, II, III, IV, V, VI, VII, VIII, IX e",
    /* 137 */ u"N/n. 6.456 - Frs. 089 - c/ de V. Sª N/n. 6.456 - Frs. 089 - c/ de V. Sª N/n. 6.4",
    /* 138 */ u"R$ 25,00 R$ 150,50 R$ 1.200,00 R$ 38,75 R$ 4.999,90 R$ 25,00 R$ 150,50 R$ 1.200,",
    /* 139 */ u"CPF 123.456.789-09, CEP 01310-100, fone 3255-4080. CPF 123.456.789-09, CEP 01310",
    // 140: alphabet
    /* 140 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    // 141-155: 81-character lines: digits with $, business correspondence, maxims, verb forms with pronouns
    /* 141 */ u"a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8k9l0ç$ a2s3d4f5g6 h7j8",
    // 142: the second sentence changes one word
    /* 142 */ u"Acusamos o recebimento de sua estimada carta. Acusamos o recebimento de sua preza",
    /* 143 */ u"Em resposta à sua consulta, informamos que as peças já estão no depósito. Em resp",
    /* 144 */ u"Cumprimentamos V. Sª pela eleição à presidência da Câmara de Comércio. Cumpriment",
    /* 145 */ u"Anexamos a nota fiscal e a duplicata; o ônus do frete cabe ao comprador. Anexamos",
    /* 146 */ u"É melhor prevenir do que remediar. Faça o bem sem olhar a quem. É melhor prevenir",
    /* 147 */ u"comunicamos-lhe agradecemos-lhe informá-lo-emos enviá-lo-emos comunicamos-lhe agr",
    /* 148 */ u"Assunto: COTAÇÃO DE PREÇOS. Pedimos a gentileza de nos enviar o catálogo. Assunto",
    /* 149 */ u"Solicitamos a V. Sª que confirme o pedido até o último dia útil do mês. Solicitam",
    /* 150 */ u"A palavra é de prata, o silêncio é de ouro. A palavra é de prata, o silêncio é de",
    /* 151 */ u"Remetemos-lhe hoje, por via aérea, as amostras e as instruções pedidas. Remetemos",
    /* 152 */ u"Sem mais para o momento, subscrevemo-nos atenciosamente. Sem mais para o momento,",
    /* 153 */ u"Não deixe para amanhã o que você pode fazer hoje. Não deixe para amanhã o que voc",
    // 154: the second list changes its last word
    /* 154 */ u"envie-nos mande-nos diga-nos escreva-nos envie-nos mande-nos diga-nos telefone-no",
    /* 155 */ u"Ficaríamos gratos se pudessem responder-nos até o dia 10/04. Ficaríamos gratos se",
    // 156: alphabet, the last drill
    /* 156 */ u"abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefghijlmnopqrstuvxz abcdefgh",
    // 157: the numbers 1 to 100, no target time
    /* 157 */ u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,"
              u"31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,"
              u"58,59,60,61,62,63,64,65,66,67,68,69,70,71,72,73,74,75,76,77,78,79,80,81,82,83,84,"
              u"85,86,87,88,89,90,91,92,93,94,95,96,97,98,99,100.",
    // 158-167: typing advice, fables and legends
    /* 158 */ u"Sente-se com as costas retas e mantenha os pés apoiados no chão durante a "
              u"aula.(60)",
    /* 159 */ u"Antes de começar, ponha os dedos na linha central do teclado. Você deve olhar "
              u"somente para o texto.(60)",
    /* 160 */ u"Não olhe para as teclas ao digitar! Confie no tato e sinta a posição dos dedos pelo "
              u"relevo do F e do J.(60)",
    /* 161 */ u"e assim, lição a lição, os dedos aprendem o caminho das teclas sem que os olhos "
              u"tenham de buscá-las a todo instante.(60)",
    /* 162 */ u"Uma raposa faminta viu uvas no alto da parreira. Pulou inúmeras vezes sem "
              u"alcançá-las e partiu, dizendo que estavam verdes.(60)",
    /* 163 */ u"Enquanto a cigarra cantava, a formiga trabalhava. No inverno, a cigarra passou "
              u"fome. Primeiro a obrigação, depois a diversão.(60)",
    /* 164 */ u"Diz a lenda que o Saci é um moleque de uma perna só, de gorro vermelho, que gosta "
              u"de pregar peças nos viajantes e some num redemoinho.(60)",
    /* 165 */ u"O Curupira protege as matas. Tem os pés virados para trás, e os caçadores que "
              u"seguem suas pegadas andam em círculos, sem achá-lo.(60)",
    /* 166 */ u"Era domingo, e a praça estava cheia. As crianças corriam atrás dos pombos, os "
              u"velhos jogavam dominó à sombra e um ambulante vendia balões.(60)",
    /* 167 */ u"A casa do meu avô ficava no alto do morro, entre mangueiras. Da varanda se via o "
              u"rio correndo entre os campos e, a distância, a torre da igreja.(60)",
    // 168: alphabet against the clock
    /* 168 */ u"abcdefghijlmnopqrstuvxz(5)",
    // 169-178: business letters, commercial law, fables, narration and description
    /* 169 */ u"Prezados senhores: acusamos o recebimento de sua carta de 12/03/98 e informamos "
              u"que os artigos pedidos serão despachados em até três dias úteis.(60)",
    /* 170 */ u"Atendendo ao pedido de V. Sª, remetemos em anexo nossa tabela atualizada. Compras "
              u"acima de R$ 1.250,00 têm frete grátis; as condições valem por sessenta dias.(60)",
    /* 171 */ u"O contrato de compra e venda torna-se perfeito quando as partes acordam sobre a "
              u"coisa e o preço. Daí em diante, o vendedor deve entregar e o comprador pagar.(60)",
    /* 172 */ u"A lebre zombou da tartaruga e a desafiou a uma corrida. Confiante, dormiu pelo "
              u"caminho e, ao acordar, viu a rival cruzar a linha de chegada. Devagar se vai ao "
              u"longe.(60)",
    /* 173 */ u"Nos rios da Amazônia vive a Iara, a mãe das águas. Dizem que ela canta à tarde uma "
              u"música tão doce que os pescadores esquecem tudo e seguem o seu canto até o fundo do "
              u"rio.(60)",
    /* 174 */ u"O trem saiu atrasado da estação. Pela janela, Marta via os cafezais e o gado no "
              u"pasto. Levava na bolsa uma carta fechada. Que notícias traria? Ainda não tivera "
              u"coragem de abri-la.(60)",
    /* 175 */ u"O mercado abria às cinco e meia. Que fartura! Havia pilhas de laranjas e limões, "
              u"cachos de bananas, mandiocas sujas de terra e cocos verdes. Água de coco gelada "
              u"custava pouco.(60)",
    /* 176 */ u"Assunto: MUDANÇA DE ENDEREÇO. Comunicamos a V. Sª que, a partir de junho, nosso "
              u"escritório funcionará na Rua das Flores, 245, CEP 01310-100. O telefone, "
              u"3255-4080, e o horário não mudam.(60)",
    /* 177 */ u"Um jovem perguntou ao velho oleiro como aprendera a fazer vasos tão bonitos. O "
              u"velho sorriu e disse: \"Quebrando muitos vasos antes destes.\" Desde então, o rapaz "
              u"não teve mais medo de errar.(60)",
    /* 178 */ u"A duplicata é um título de crédito que o vendedor emite com base na fatura de uma "
              u"venda a prazo. O comprador, ao assiná-la, reconhece a dívida e se obriga a pagá-la "
              u"na data combinada.(60)",
    // 179: alphabet against the clock
    /* 179 */ u"abcdefghijlmnopqrstuvxz(5)",
    // 180-186: typing advice, legend, narration, description, letter, commercial law, fable
    /* 180 */ u"A velocidade vem com o tempo; a precisão, com a atenção. É melhor digitar devagar e "
              u"certo do que depressa e errado. Deixe a tela a uma boa distância dos olhos, faça "
              u"pausas e relaxe os ombros.(60)",
    /* 181 */ u"Contam os povos indígenas que a jovem Naiá se apaixonou pela lua e quis tocá-la. "
              u"Certa noite, viu-a refletida no rio, mergulhou para alcançá-la e sumiu. Comovida, a "
              u"lua a transformou na vitória-régia.(60)",
    /* 182 */ u"Quando a chuva começou, seu Álvaro ainda estava na lavoura. Que aguaceiro! Juntou "
              u"as ferramentas, cobriu a cabeça com um saco de estopa e desceu a trilha. Em casa, a "
              u"mulher já acendera o fogão.(60)",
    /* 183 */ u"A cidade ficava à beira do mar, com ruas estreitas de pedra e casas coloridas. No "
              u"fim da tarde, os barcos voltavam carregados e os moradores desciam até a praia "
              u"para comprar peixe e ver o sol se pôr.(60)",
    /* 184 */ u"Assunto: COTAÇÃO. Prezado senhor: em resposta à sua consulta de 15/03/1998, temos "
              u"o prazer de informar que dispomos em estoque de todos os itens pedidos. O lote "
              u"sai por R$ 2.967,40, com entrega em 10 dias e pagamento a 90 dias.(60)",
    /* 185 */ u"A nota promissória é uma promessa escrita pela qual o emitente se obriga a pagar ao "
              u"beneficiário uma quantia em data fixa. Deve conter a denominação do título, a "
              u"importância a pagar, a data e o lugar da emissão e a assinatura.(60)",
    /* 186 */ u"Um leão agarrou um ratinho que passara sobre ele. O bichinho pediu a liberdade e "
              u"prometeu ajudá-lo um dia. A fera riu, mas o soltou. Meses depois, preso numa "
              u"rede, o leão ouviu o rato roer as cordas até libertá-lo. Os pequenos também têm "
              u"valor.(60)",
    // 187: alphabet against the clock
    /* 187 */ u"abcdefghijlmnopqrstuvxz(5)",
    // 188-191: narration, letter, commercial law, closing advice
    /* 188 */ u"Naquela manhã, a escola inteira esperava o novo professor. Como ele seria? Entrou "
              u"na sala sem pressa, escreveu \"Bom dia\" no quadro e, em vez de passar lições, "
              u"perguntou a cada um o que gostaria de aprender. Ninguém soube responder de "
              u"imediato.(60)",
    /* 189 */ u"Assunto: RECLAMAÇÃO. Senhores: a última remessa, de 02/04, chegou incompleta. Das "
              u"30 caixas da fatura, recebemos 28. Pedimos que confiram seus registros e enviem "
              u"as duas restantes ou um crédito de R$ 1.736,90. Atenciosamente, Ana Lima, fone "
              u"3471-2906.(60)",
    /* 190 */ u"Considera-se empresário quem organiza, de modo profissional, uma atividade "
              u"econômica para produzir ou fazer circular bens e serviços. Ele deve manter "
              u"escrituração regular de seus negócios, guardar as cartas recebidas e fazer o "
              u"balanço anual.(60)",
    /* 191 */ u"Você chegou ao fim do curso. Ótimo trabalho! Mas o aprendizado continua: a "
              u"habilidade conquistada aqui só se mantém com a prática diária. Escreva cartas, "
              u"copie textos de que gostar e procure sempre digitar sem olhar o teclado. Com o "
              u"tempo, a velocidade crescerá, sem prejuízo da exatidão.(60)",
    // 192: alphabet against the clock, the last lesson
    /* 192 */ u"abcdefghijlmnopqrstuvxz(5)",
};

}  // namespace

std::optional<std::u16string_view> LessonText(int number) {
  if (number < 1 || number > LessonCount) return std::nullopt;
  return Lessons[static_cast<std::size_t>(number - 1)];
}

}  // namespace tecladim
